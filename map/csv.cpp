// CSV lines of the map with std::to_chars: general notation with 17
// significant digits gives exactly the bytes of %.17g at a fraction of its
// cost; nan and inf are spelled here, with their signs, as printf spells
// them (libc++ writes "-nan(ind)"). The circuit's values are formatted once
// for its three lines. In WebAssembly, %.17g itself writes the digits: the
// tables behind to_chars's precision would be a fifth of the page.
#include "map/csv.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>

const char csv_header[] = "U,R,I_S,Verfahren,Durchlaeufe,Ende,I\n";

// The longest a number, a line and the circuit's part of it can be.
enum { number_max = 24, line_max = 4 * number_max + 32 };

static char *put(char *p, const char *s, size_t n)
{
    memcpy(p, s, n);
    return p + n;
}

char *csv_number(char *p, double v)
{
    if (!std::isfinite(v)) {
        if (std::signbit(v))
            *p++ = '-';
        return put(p, std::isnan(v) ? "nan" : "inf", 3);
    }
#ifdef __wasm__
    // Into a buffer of its own: snprintf ends what it writes with a
    // terminator, which must not cut the longest number short.
    char text[number_max + 8];
    int n = snprintf(text, sizeof text, "%.17g", v);
    return put(p, text, static_cast<size_t>(n));
#else
    return std::to_chars(p, p + number_max, v, std::chars_format::general, 17)
        .ptr;
#endif
}

int csv_format_row(int y, const method_outcome *cells, const double *xs,
                   map_text *text, const void *context)
{
    const map_spec *s = static_cast<const map_spec *>(context);
    int width = s->range[s->x].points;
    size_t need =
        static_cast<size_t>(width) * static_cast<size_t>(s->methods) * line_max;
    if (map_text_reserve(text, need) != 0)
        return -1;
    double v[map_quantities];
    row_values(s, y, v);
    char *p = text->data + text->len;
    for (int x = 0; x < width; ++x) {
        v[s->x] = xs[x];
        char circuit[3 * number_max + 3];
        char *q = circuit;
        for (double value : v) {
            q = csv_number(q, value);
            *q++ = ',';
        }
        for (int k = 0; k < s->methods; ++k) {
            const method_outcome *o = &cells[x * s->methods + k];
            p = put(p, circuit, static_cast<size_t>(q - circuit));
            *p++ = method_table[s->method[k]]->letter;
            *p++ = ',';
            p = std::to_chars(p, p + 3, static_cast<unsigned>(o->passes)).ptr;
            *p++ = ',';
            const char *ending = method_ending_names[o->ending];
            p = put(p, ending, strlen(ending));
            *p++ = ',';
            p = csv_number(p, o->last);
            *p++ = '\n';
        }
    }
    text->len = static_cast<size_t>(p - text->data);
    return 0;
}
