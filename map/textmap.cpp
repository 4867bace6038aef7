// The text map: a legend, then per method its characters and shares.
#include "map/textmap.h"

#include <cmath>
#include <cstdarg>
#include <cstring>

// Passes (or evaluations) to the repeat in powers of two: 2-3, 4-7, ...,
// 128-200 passes, 128-255 and 256-511 evaluations.
static const char pass_marks[] = ".:-=+*#%";
static_assert(sizeof pass_marks - 1 == evaluation_buckets, "a mark a bucket");
// The other classes: an der Nullstelle, kreist, kriecht, nan or inf at
// the limit; waagerecht before it.
static const char class_marks[end_classes] = {0, '@', 'o', '~', 'X', '_'};

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

static char mark_of(const map_view *v, int m, int row, int col)
{
    int end = ending_class(view_ending(v, m, row, col));
    return end == end_repeat
               ? pass_marks[count_bucket(v, view_count(v, m, row, col))]
               : class_marks[end];
}

static void write_legend(FILE *out, const map_view *v, int width)
{
    const map_spec *s = v->spec;
    char fixed[64];
    describe_fixed(s, fixed, sizeof fixed);
    put_line(out, width, "%s, Gitter %d x %d", fixed, s->range[s->x].points,
             s->range[s->y].points);
    put_line(out, width, "Zeichen: %s %s", view_counted(v), view_passes_to(v));
    // The buckets' marks and ranges, four to a line (" . 1-3  : 4-7 ...").
    char line[128] = "";
    size_t used = 0;
    for (int k = 0; k < view_buckets(v); ++k) {
        int last =
            k + 1 < view_buckets(v) ? bucket_start(k + 1) - 1 : bucket_top(v);
        used += static_cast<size_t>(snprintf(
            line + used, sizeof line - used, "%s%c %d-%d", k % 4 ? "  " : " ",
            pass_marks[k], k ? bucket_start(k) : v->first_pass, last));
        if (k % 4 == 3 || k + 1 == view_buckets(v)) {
            put_line(out, width, "%s", line);
            used = 0;
        }
    }
    for (int j = 1; j < end_classes; ++j) {
        int k = class_order[j];
        if (view_shows(v, k))
            put_line(out, width, " %c %s%s", class_marks[k],
                     end_class_table[k].at_limit ? "Grenze, " : "",
                     end_class_table[k].legend);
    }
}

// Where a tick lies among n samples: the nearest one.
static int tick_sample(const axis_tick *tick, int n)
{
    return static_cast<int>(tick->at * (n - 1) + 0.5);
}

// The x axis's ticks under the map: a line with "'" under each tick's
// column, then their labels, each starting at its column (the last ones
// ending at the map's right edge where they would pass it); a label that
// would run into the one before goes on a second line, and where that has
// no room either, it is left out.
static void write_x_labels(FILE *out, const map_view *v, int width)
{
    const map_range *xr = &v->spec->range[v->spec->x];
    axis_tick ticks[axis_ticks_most];
    int n = axis_ticks(xr, ticks);
    enum { label_lines = 2, room = 512 }; // text_width() allows 400 columns
    char marks[room];
    char labels[label_lines][room];
    memset(marks, ' ', static_cast<size_t>(v->cols));
    marks[v->cols] = '\0';
    memset(labels, ' ', sizeof labels);
    int end[label_lines] = {0, 0};  // where each line's labels end
    int free[label_lines] = {0, 0}; // the first column a label may take
    for (int k = 0; k < n; ++k) {
        int at = tick_sample(&ticks[k], v->cols);
        marks[at] = '\'';
        char text[32];
        tick_text(xr, ticks[k].value, tick_plain, text, sizeof text);
        int len = static_cast<int>(strlen(text));
        int start = at + len > v->cols ? v->cols - len : at;
        start = start < 0 ? 0 : start;
        for (int line = 0; line < label_lines; ++line)
            if (start >= free[line]) {
                memcpy(labels[line] + start, text, static_cast<size_t>(len));
                end[line] = start + len;
                free[line] = end[line] + 1;
                break;
            }
    }
    put_line(out, width, "%*s  %s", label_width, "", marks);
    for (int line = 0; line < label_lines && end[line] > 0; ++line)
        put_line(out, width, "%*s  %.*s", label_width, "", end[line],
                 labels[line]);
}

static void write_method(FILE *out, const map_view *v, int m, int width)
{
    const map_spec *s = v->spec;
    const map_range *yr = &s->range[s->y];
    char row[512]; // text_width() allows 400 columns
    char axis[96];
    // Each tick labels the row nearest it; where two share a row, the one
    // nearer the row's value.
    axis_tick ticks[axis_ticks_most];
    int n = axis_ticks(yr, ticks);
    int tick_of_row[text_map_max_rows];
    for (int r = 0; r < v->rows; ++r)
        tick_of_row[r] = -1;
    for (int k = 0; k < n; ++k) {
        int r = tick_sample(&ticks[k], v->rows);
        double off = fabs(ticks[k].at * (v->rows - 1) - r);
        int held = tick_of_row[r];
        if (held < 0 || off < fabs(ticks[held].at * (v->rows - 1) - r))
            tick_of_row[r] = k;
    }
    put_line(out, width, "%s", "");
    put_line(out, width, "%s", method_table[s->method[m]]->name);
    axis_label(s, 1, axis, sizeof axis);
    put_line(out, width, "  senkrecht: %s", axis);
    for (int r = v->rows - 1; r >= 0; --r) {
        for (int c = 0; c < v->cols; ++c)
            row[c] = mark_of(v, m, r, c);
        row[v->cols] = '\0';
        char label[32] = "";
        if (tick_of_row[r] >= 0)
            tick_text(yr, ticks[tick_of_row[r]].value, tick_plain, label,
                      sizeof label);
        put_line(out, width, "%*s |%s|", label_width, label, row);
    }
    write_x_labels(out, v, width);
    axis_label(s, 0, axis, sizeof axis);
    put_line(out, width, "  waagerecht: %s", axis);
    char names[end_classes][48];
    int name_width = 0;
    for (int k = 0; k < end_classes; ++k) {
        int len = snprintf(names[k], sizeof names[k], "%s%s",
                           end_class_table[k].at_limit ? "Grenze, " : "",
                           view_class_name(v, k));
        name_width = len > name_width ? len : name_width;
    }
    for (int k : class_order)
        if (view_shows(v, k))
            put_line(out, width, "  %-*s %5.1f %%", name_width, names[k],
                     view_share(v, m, k));
}

void write_text_map(FILE *out, const map_view *view, int width)
{
    write_legend(out, view, width);
    for (int m = 0; m < view->spec->methods; ++m)
        write_method(out, view, m, width);
}
