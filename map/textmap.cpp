// The text map: a legend, then per method its characters and shares.
#include "map/textmap.h"

#include <cstdarg>
#include <cstring>

// Passes to the repeat in powers of two: 2-3, 4-7, ..., 128-200.
static const char pass_marks[] = ".:-=+*#";
// The classes at the limit: kreist, kriecht, nan or inf.
static const char limit_marks[end_classes] = {0, 'o', '~', 'X'};

// A text map row: the label of its value in label_width columns, " |",
// the samples, "|".
static const int label_width = 10;

int text_map_cols(int width)
{
    return width - label_width - 3;
}

int text_map_rows(const map_spec *spec, int cols)
{
    int width = spec->range[spec->x].points;
    int height = spec->range[spec->y].points;
    cols = cols < width ? cols : width;
    long rows = (2L * cols * height + 2L * width) / (4L * width); // rounded
    long most = height < text_map_max_rows ? height : text_map_max_rows;
    return static_cast<int>(rows < 2 ? 2 : rows > most ? most : rows);
}

// Writes one line, cut to width columns.
static void put_line(FILE *out, int width, const char *format, ...)
    __attribute__((format(printf, 3, 4)));
static void put_line(FILE *out, int width, const char *format, ...)
{
    char line[1024];
    va_list args;
    va_start(args, format);
    vsnprintf(line, sizeof line, format, args);
    va_end(args);
    fprintf(out, "%.*s\n", width, line);
}

static char mark_of(unsigned char ending)
{
    int end = ending_class(ending);
    return end == end_repeat ? pass_marks[pass_bucket(ending)]
                             : limit_marks[end];
}

static void write_legend(FILE *out, const map_view *v, int width)
{
    const map_spec *s = v->spec;
    char fixed[64];
    describe_fixed(s, fixed, sizeof fixed);
    put_line(out, width, "%s, Gitter %d x %d", fixed, s->range[s->x].points,
             s->range[s->y].points);
    put_line(out, width, "Zeichen: Durchlaeufe %s", view_passes_to(v));
    put_line(out, width, " . %d-3  : 4-7  - 8-15  = 16-31", v->first_pass);
    put_line(out, width, " + 32-63  * 64-127  # 128-200");
    for (int k = end_repeat + 1; k < end_classes; ++k)
        put_line(out, width, " %c Grenze, %s", limit_marks[k],
                 end_class_table[k].legend);
}

// The x axis's two end values under the map, left and right aligned; when
// the map is too narrow for both on one line, the right one goes on a line
// of its own, so that they never run together.
static void write_x_labels(FILE *out, const map_view *v, int width)
{
    const map_range *xr = &v->spec->range[v->spec->x];
    char left[32];
    char right[32];
    snprintf(left, sizeof left, "%.3g", range_value(xr, 0));
    snprintf(right, sizeof right, "%.3g", range_value(xr, xr->points - 1));
    int l = static_cast<int>(strlen(left));
    int r = static_cast<int>(strlen(right));
    if (l + 1 + r <= v->cols) {
        put_line(out, width, "%*s  %s%*s", label_width, "", left, v->cols - l,
                 right);
        return;
    }
    put_line(out, width, "%*s  %s", label_width, "", left);
    int at = v->cols - r > 0 ? v->cols - r : 0;
    put_line(out, width, "%*s  %*s%s", label_width, "", at, "", right);
}

static void write_method(FILE *out, const map_view *v, int m, int width)
{
    const map_spec *s = v->spec;
    const map_range *yr = &s->range[s->y];
    char row[512]; // text_width() allows 400 columns
    put_line(out, width, "%s", "");
    put_line(out, width, "%s", method_table[s->method[m]]->name);
    put_line(out, width, "  senkrecht: %s", quantity_labels[s->y]);
    for (int r = v->rows - 1; r >= 0; --r) {
        for (int c = 0; c < v->cols; ++c)
            row[c] = mark_of(view_ending(v, m, r, c));
        row[v->cols] = '\0';
        double value = range_value(yr, sample_point(r, v->rows, yr->points));
        if (r == v->rows - 1 || r == 0)
            put_line(out, width, "%*.3g |%s|", label_width, value, row);
        else
            put_line(out, width, "%*s |%s|", label_width, "", row);
    }
    write_x_labels(out, v, width);
    put_line(out, width, "  waagerecht: %s", quantity_labels[s->x]);
    for (int k = 0; k < end_classes; ++k) {
        char name[32];
        snprintf(name, sizeof name, "%s%s", k == end_repeat ? "" : "Grenze, ",
                 view_class_name(v, k));
        put_line(out, width, "  %-16s %5.1f %%", name, view_share(v, m, k));
    }
}

void write_text_map(FILE *out, const map_view *view, int width)
{
    write_legend(out, view, width);
    for (int m = 0; m < view->spec->methods; ++m)
        write_method(out, view, m, width);
}
