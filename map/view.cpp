// The view of a map: sampled endings, shares, and the text map.
#include "map/view.h"

#include <cmath>
#include <cstdarg>
#include <cstdlib>
#include <cstring>

const char *const quantity_labels[map_quantities] = {
    "Gesamtspannung U in V", "Widerstand R in Ohm",
    "Saettigungsstrom I_S in A"};
static const char *const quantity_names[map_quantities] = {"U", "R", "I_S"};
static const char *const quantity_units[map_quantities] = {"V", "Ohm", "A"};
static const char *const class_names[end_classes] = {
    "Wiederholung", "Grenze, endlich", "Grenze, nan/inf"};

// Passes to the repeat in powers of two: 2-3, 4-7, ..., 128-200.
static const char pass_marks[] = ".:-=+*#";
static const char limit_marks[] = "oX";

int sample_point(int k, int n, int points)
{
    if (n < 2)
        return 0;
    long long scaled = static_cast<long long>(k) * (points - 1);
    return static_cast<int>((2 * scaled + (n - 1)) / (2 * (n - 1)));
}

static unsigned char ending_of(const method_outcome *o)
{
    if (o->repeat)
        return o->passes;
    return std::isfinite(o->last) ? ending_limit_finite : ending_limit_nan;
}

static int class_of(unsigned char ending)
{
    return ending == ending_limit_nan      ? end_limit_nan
           : ending == ending_limit_finite ? end_limit_finite
                                           : end_repeat;
}

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

int view_begin(map_view *view, const map_spec *spec, int cols, int rows)
{
    int width = spec->range[spec->x].points;
    int height = spec->range[spec->y].points;
    memset(view, 0, sizeof *view);
    view->spec = spec;
    view->cols = cols < width ? cols : width;
    view->rows = rows < height ? rows : height;
    size_t cells = static_cast<size_t>(view->cols) *
                   static_cast<size_t>(view->rows) * report_methods;
    view->ending = static_cast<unsigned char *>(malloc(cells));
    return view->ending != nullptr ? 0 : -1;
}

void view_end(map_view *view)
{
    free(view->ending);
    view->ending = nullptr;
}

// Where the ending of method m at sample row, col is kept.
static size_t offset(const map_view *v, int m, int row, int col)
{
    return (static_cast<size_t>(m) * static_cast<size_t>(v->rows) +
            static_cast<size_t>(row)) *
               static_cast<size_t>(v->cols) +
           static_cast<size_t>(col);
}

unsigned char view_ending(const map_view *v, int m, int row, int col)
{
    return v->ending[offset(v, m, row, col)];
}

int view_take_row(int y, const map_cell *cells, const map_text *text,
                  void *context)
{
    (void)text;
    map_view *v = static_cast<map_view *>(context);
    int width = v->spec->range[v->spec->x].points;
    int height = v->spec->range[v->spec->y].points;
    for (int x = 0; x < width; ++x)
        for (int m = 0; m < report_methods; ++m)
            ++v->count[m][class_of(ending_of(&cells[x].method[m]))];
    if (v->next < v->rows && sample_point(v->next, v->rows, height) == y) {
        for (int c = 0; c < v->cols; ++c) {
            const map_cell *cell = &cells[sample_point(c, v->cols, width)];
            for (int m = 0; m < report_methods; ++m)
                v->ending[offset(v, m, v->next, c)] =
                    ending_of(&cell->method[m]);
        }
        ++v->next;
    }
    return 0;
}

double view_share(const map_view *view, int method, int end)
{
    const unsigned long *c = view->count[method];
    unsigned long all = c[0] + c[1] + c[2];
    return all ? 100.0 * static_cast<double>(c[end]) / static_cast<double>(all)
               : 0.0;
}

void describe_shares(const map_view *view, int method, char *buf, size_t size)
{
    snprintf(buf, size, "Wiederholung %.1f %%, Grenze %.1f %% endlich, "
             "%.1f %% nan/inf", view_share(view, method, end_repeat),
             view_share(view, method, end_limit_finite),
             view_share(view, method, end_limit_nan));
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
    if (ending == ending_limit_finite || ending == ending_limit_nan)
        return limit_marks[ending - ending_limit_finite];
    int bucket = 0;
    while (bucket < 6 && (ending >> (bucket + 2)) != 0)
        ++bucket;
    return pass_marks[bucket];
}

void describe_fixed(const map_spec *spec, char *buf, size_t size)
{
    int fixed = map_quantities - spec->x - spec->y; // the one left over
    snprintf(buf, size, "%s = %g %s", quantity_names[fixed],
             spec->range[fixed].a, quantity_units[fixed]);
}

static void write_legend(FILE *out, const map_view *v, int width)
{
    const map_spec *s = v->spec;
    char fixed[64];
    describe_fixed(s, fixed, sizeof fixed);
    put_line(out, width, "%s, Gitter %d x %d", fixed, s->range[s->x].points,
             s->range[s->y].points);
    put_line(out, width, "Zeichen: Durchlaeufe bis zur Wiederholung");
    put_line(out, width, " . 2-3  : 4-7  - 8-15  = 16-31");
    put_line(out, width, " + 32-63  * 64-127  # 128-200");
    put_line(out, width, " o Grenze, I endlich (kreist, kriecht)");
    put_line(out, width, " X Grenze, I nan oder inf");
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
        put_line(out, width, "%*s  %s%*s", label_width, "", left,
                 v->cols - l, right);
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
    put_line(out, width, "%s", report_names[m]);
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
    for (int k = 0; k < end_classes; ++k)
        put_line(out, width, "  %-16s %5.1f %%", class_names[k],
                 view_share(v, m, k));
}

void write_text_map(FILE *out, const map_view *view, int width)
{
    write_legend(out, view, width);
    for (int m = 0; m < report_methods; ++m)
        write_method(out, view, m, width);
}
