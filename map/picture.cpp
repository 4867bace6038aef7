// The gnuplot script of a map. Axes of log-spaced ranges run in decades
// (log10 of the value, labelled 10^k), so that each panel is one image of
// evenly spaced pixels; the colour is log2 of the passes to the repeat (or
// of the evaluations, on the same scale), and colours past the end of that
// scale mark the ways to hit the limit.
#include "map/picture.h"

#include <cmath>

// The colour values of the classes but the first: 8.5, 9.5, 10.5, 11.5 at
// the limit, 12.5 waagerecht.
static double class_value(int end)
{
    return 7.5 + end;
}

// An evenly spaced range whose ends pass this is drawn in units of
// 2^scale_bits, so that gnuplot's sums of coordinates cannot overflow; its
// tics then carry the values in the range's own units.
static const double huge_end = 1e300;
static const int scale_bits = 1000;

static int scaled(const map_range *r)
{
    return !range_is_log(r) && fmax(fabs(r->a), fabs(r->b)) > huge_end;
}

// Where sample k of n lies on the drawn axis of a range.
static double coordinate(const map_range *r, int k, int n)
{
    int log = range_is_log(r);
    int shift = scaled(r) ? -scale_bits : 0;
    double lo = log ? log10(r->a) : ldexp(r->a, shift);
    double hi = log ? log10(r->b) : ldexp(r->b, shift);
    return n < 2 ? lo : lo + (hi - lo) * k / (n - 1);
}

// Where a count lies on the colour scale: log2 of the passes (2 to 200
// passes: 1 to 7.64), or log2 of the evaluations squeezed so that 2 to 512
// span the same colours.
static double count_value(const map_view *v, unsigned count)
{
    double l = log2(static_cast<double>(count));
    if (v->spec->colour != colour_evaluations)
        return l;
    static const double squeeze = (log2(200.0) - 1.0) / (log2(512.0) - 1.0);
    return 1.0 + (l - 1.0) * squeeze;
}

static double colour_value(const map_view *v, unsigned char ending,
                           unsigned count)
{
    int end = ending_class(ending);
    return end == end_repeat ? count_value(v, count) : class_value(end);
}

// Axis range (half a pixel beyond the outer samples) and tics: decades for
// a log-spaced range, and where it spans fewer than two, also its ends and
// the 2s and 5s between; the usual tics for an evenly spaced range.
static void write_axis(FILE *gp, const char *axis, const map_range *r, int n)
{
    double lo = coordinate(r, 0, n);
    double hi = coordinate(r, n - 1, n);
    double half = n < 2 ? 0.5 : (hi - lo) / (n - 1) / 2;
    fprintf(gp, "set %srange [%.17g:%.17g]\n", axis, lo - half, hi + half);
    if (scaled(r)) {
        fprintf(gp, "set %stics (", axis);
        for (int k = 0; k <= 4; ++k) {
            double at = coordinate(r, k, 5);
            fprintf(gp, "'%.3g' %.17g, ", ldexp(at, scale_bits), at);
        }
        fputs(")\n", gp);
        return;
    }
    if (!range_is_log(r)) {
        fprintf(gp, "set %stics autofreq\n", axis);
        return;
    }
    axis_tick ticks[axis_ticks_most];
    int count = axis_ticks(r, ticks);
    fprintf(gp, "set %stics (", axis);
    for (int k = 0; k < count; ++k) {
        char label[48];
        tick_text(r, ticks[k].value, tick_powers, label, sizeof label);
        fprintf(gp, "%s'%s' %.17g", k ? ", " : "", label,
                log10(ticks[k].value));
    }
    fputs(")\n", gp);
}

// The colour scale over cbrange [1:12]: log2 of the passes to the repeat
// (2 to 200 passes: 1 to 7.64), then pink, dark grey, light grey and red
// for the four ways to reach the limit (an der Nullstelle, kreist,
// kriecht, nan or inf); up to 13 with brown for waagerecht where the view
// shows it.
struct palette_stop {
    double at;
    unsigned rgb;
};
static const palette_stop palette[] = {
    {1, 0x440154},   {2.5, 0x3b528b}, {4, 0x21908d},  {5.5, 0x5dc963},
    {7.7, 0xfde725}, {7.7, 0xffffff}, {8, 0xffffff},  {8, 0xe377c2},
    {9, 0xe377c2},   {9, 0x8c8c8c},   {10, 0x8c8c8c}, {10, 0xc8c8c8},
    {11, 0xc8c8c8},  {11, 0xd62728},  {12, 0xd62728}, {12, 0x8c564b},
    {13, 0x8c564b}};
enum { palette_stops = sizeof palette / sizeof palette[0] };

unsigned palette_colour(const map_view *view, unsigned char ending,
                        unsigned count)
{
    double v = colour_value(view, ending, count);
    int k = 1;
    while (k < palette_stops - 1 && palette[k].at < v)
        ++k;
    const palette_stop *lo = &palette[k - 1];
    const palette_stop *hi = &palette[k];
    double t = hi->at > lo->at ? (v - lo->at) / (hi->at - lo->at) : 0.0;
    t = t < 0.0 ? 0.0 : t > 1.0 ? 1.0 : t;
    unsigned rgb = 0;
    for (int shift = 16; shift >= 0; shift -= 8) {
        double a = (lo->rgb >> shift) & 0xff;
        double b = (hi->rgb >> shift) & 0xff;
        rgb |= static_cast<unsigned>(lround(a + (b - a) * t)) << shift;
    }
    return rgb;
}

// Text for a string in gnuplot's single quotes, where a quote is written
// twice ("f'" -> "f''").
static const char *single_quoted(const char *s, char *buf, size_t size)
{
    size_t n = 0;
    for (; *s != '\0' && n + 2 < size; ++s) {
        if (*s == '\'')
            buf[n++] = '\'';
        buf[n++] = *s;
    }
    buf[n] = '\0';
    return buf;
}

static void write_colours(FILE *gp, const map_view *v)
{
    char counted[64];
    int top = v->level ? 13 : 12; // the palette's stops up to there
    fprintf(gp, "set cbrange [1:%d]\nset palette defined (", top);
    for (int k = 0; k < palette_stops && palette[k].at <= top; ++k)
        fprintf(gp, "%s%g '#%06x'", k ? ", " : "", palette[k].at,
                palette[k].rgb);
    fputs(")\nset cbtics (", gp);
    int counts = v->spec->colour == colour_evaluations;
    for (int k = 0; k < view_buckets(v); ++k)
        fprintf(gp, "'%d' %.17g, ",
                k || counts ? bucket_start(k) : v->first_pass,
                count_value(v, static_cast<unsigned>(bucket_start(k))));
    for (int k = end_repeat + 1; k < end_classes; ++k)
        if (view_shows(v, k))
            fprintf(gp, "%s'%s' %g", k > end_repeat + 1 ? ", " : "",
                    end_class_table[k].tick, class_value(k));
    fprintf(gp,
            ")\nset cblabel '%s %s; nach %d "
            "Durchlaeufen ohne Wiederholung (Grenze): ",
            single_quoted(view_counted(v), counted, sizeof counted),
            view_passes_to(v), static_cast<int>(report_pass_limit));
    for (int k = end_repeat + 1; k < end_classes; ++k)
        if (end_class_table[k].at_limit)
            fprintf(gp, "%s%s", k > end_repeat + 1 ? ", " : "",
                    end_class_table[k].picture);
    fputs("'\n", gp);
}

// The panel's pixels as inline data, read and dropped one panel at a time,
// so that gnuplot holds no more than one image.
static void write_data(FILE *gp, const map_view *v, int m)
{
    const map_spec *s = v->spec;
    for (int r = 0; r < v->rows; ++r) {
        for (int c = 0; c < v->cols; ++c) {
            unsigned char e = view_ending(v, m, r, c);
            fprintf(gp, "%.10g %.10g %g\n",
                    coordinate(&s->range[s->x], c, v->cols),
                    coordinate(&s->range[s->y], r, v->rows),
                    colour_value(v, e, view_count(v, m, r, c)));
        }
        fputc('\n', gp);
    }
    fputs("e\n", gp);
}

// The picture: the panels in rows of up to three, each row 340 pixels
// high, with 110 pixels above them for the title and 190 below for the
// axis label and the colour bar.
enum { panels_per_row = 3 };
static const double panel_row_px = 340, above_px = 110, below_px = 190;

void write_map_script(FILE *gp, const map_view *v, enum output_format format)
{
    const map_spec *s = v->spec;
    int cols = s->methods < panels_per_row ? s->methods : panels_per_row;
    int rows = (s->methods + panels_per_row - 1) / panels_per_row;
    // Rows after the first leave room for the x axis above them and their
    // own titles: 130 pixels between panels instead of 62.
    double gap_px = rows > 1 ? 130 : 62;
    double height =
        above_px + below_px + rows * panel_row_px + (rows - 1) * (gap_px - 62);
    if (format == format_png)
        fprintf(gp,
                "set terminal pngcairo size 1500,%.0f enhanced "
                "font 'sans,10'\n",
                height);
    else
        fprintf(gp, "set terminal svg size 1500,%.0f enhanced font 'sans,12'\n",
                height);
    fputs("set encoding utf8\n", gp);
    write_colours(gp, v);
    write_axis(gp, "x", &s->range[s->x], v->cols);
    write_axis(gp, "y", &s->range[s->y], v->rows);
    char xlabel[96];
    char ylabel[96];
    char title[160];
    char quoted[2 * sizeof title];
    axis_label(s, 0, xlabel, sizeof xlabel);
    axis_label(s, 1, ylabel, sizeof ylabel);
    describe_title(v, title, sizeof title);
    single_quoted(title, quoted, sizeof quoted);
    fprintf(gp,
            "set xlabel '%s'\nset tics out\n"
            "set multiplot layout %d,%d title '%s' margins "
            "0.05,0.98,%.3g,%.3g spacing 0.06,%.3g\n",
            xlabel, rows, cols, quoted, (below_px - 4) / height,
            1.0 - (above_px - 3.2) / height, gap_px / height);
    for (int m = 0; m < s->methods; ++m) {
        if (m == s->methods - 1)
            fprintf(gp,
                    "set colorbox horizontal user origin 0.2,%.3g size "
                    "0.6,%.3g\n",
                    55.8 / height, 21.7 / height);
        else
            fputs("unset colorbox\n", gp);
        // The first panel of a row names the y axis for the row.
        if (m % cols == 0)
            fprintf(gp, "set ylabel '%s'\n", ylabel);
        else
            fputs("unset ylabel\n", gp);
        char shares[192];
        // The classes at the limit on a line of their own.
        describe_shares(v, m, "}\\n{/*0.8 Grenze: ", shares, sizeof shares);
        fprintf(gp,
                "set title \"%s\\n{/*0.8 %s}\"\n"
                "plot '-' using 1:2:3 with image notitle\n",
                method_table[s->method[m]]->name, shares);
        write_data(gp, v, m);
    }
    fputs("unset multiplot\n", gp);
}
