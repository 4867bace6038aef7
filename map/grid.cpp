// The grid's values: the points of a range, the circuits of a row; and
// the rows' text buffers.
#include "map/grid.h"

#include <cmath>
#include <cstdlib>
#include <cstring>

const char map_default_methods[] = "HRN";

int range_is_log(const map_range *range)
{
    return range->a > 0.0 && range->b > 0.0;
}

double range_value(const map_range *range, int k)
{
    if (k <= 0 || range->points < 2)
        return range->a;
    if (k >= range->points - 1)
        return range->b;
    double t = static_cast<double>(k) / static_cast<double>(range->points - 1);
    if (range_is_log(range)) {
        double la = std::log(range->a);
        double lb = std::log(range->b);
        return std::exp(la + t * (lb - la));
    }
    return range->a * (1.0 - t) + range->b * t;
}

void row_values(const map_spec *spec, int y, double v[map_quantities])
{
    for (int q = 0; q < map_quantities; ++q)
        v[q] = range_value(&spec->range[q], 0);
    v[spec->y] = range_value(&spec->range[spec->y], y);
}

int map_text_reserve(map_text *text, size_t more)
{
    if (text->size - text->len >= more)
        return 0;
    size_t size = text->size ? text->size : 65536;
    while (size - text->len < more)
        size *= 2;
    char *data = static_cast<char *>(realloc(text->data, size));
    if (data == nullptr)
        return -1;
    text->data = data;
    text->size = size;
    return 0;
}
