// The gnuplot script of a convergence picture: |Delta| of every pass of the
// three methods on a logarithmic axis, with the residuals that have no
// logarithm (0, inf, nan) marked at the edges, each method at its own
// height there and in its own colour, so that no method's marks hide
// another's.
#include "plot/convergence.h"

#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstring>

// Pictures: an ordinary pass in its method's mark (gnuplot's point type in
// its record), a triangle pointing down at the bottom edge for a residual of
// zero, one pointing up at the top edge for inf, a cross at the top edge
// for nan. The text chart draws a pass as the method's capital letter, an
// edge mark as its small letter.
enum mark { mark_plain, mark_zero, mark_inf, mark_nan };
static const int picture_points[] = {0, 11, 9, 2};

// The point type of a pass of method m marked how.
static int point_type(int m, enum mark how)
{
    return how == mark_plain ? method_table[m]->mark.gnuplot
                             : picture_points[how];
}
static const char *const mark_titles[] = {"", "Delta = 0 (am unteren Rand)",
                                          "Delta = inf (am oberen Rand)",
                                          "Delta = nan (am oberen Rand)"};

static enum mark classify(double d)
{
    if (std::isnan(d))
        return mark_nan;
    if (std::isinf(d))
        return mark_inf;
    return d == 0.0 ? mark_zero : mark_plain;
}

// The methods drawn: those with a block in the transcript, in the order of
// their blocks; method[k] is the k-th drawn one's index in the table.
struct drawn {
    const transcript_series *series; // by the table's index
    int method[method_count];
    int count;
};

static void choose_drawn(const transcript *t, drawn *d)
{
    d->series = t->series;
    d->count = t->count;
    for (int k = 0; k < t->count; ++k)
        d->method[k] = t->order[k];
}

// The text chart: the title and the y axis's label above the frame (4
// lines), below it the x axis (3 lines), the key of the methods on as many
// lines as its width needs and the line of edge marks. The frame has 15
// rows, and 2 more for each method beyond three, whose edge marks take a
// row each; its bottom row is row 0. Three methods at 80 columns: 24 lines.
enum { text_top = 4, text_axis_lines = 3, text_key_lines_most = 4 };
struct text_layout {
    int frame_rows;
    int key_lines;
    char key[text_key_lines_most][400];
};

static void lay_out_text(const drawn *dr, int width, text_layout *t)
{
    t->frame_rows = 15 + 2 * (dr->count > 3 ? dr->count - 3 : 0);
    t->key_lines = 1;
    t->key[0][0] = '\0';
    for (int k = 0; k < dr->count; ++k) {
        const method_def *def = method_table[dr->method[k]];
        char entry[64];
        snprintf(entry, sizeof entry, "%c %s", def->letter, def->name);
        char *line = t->key[t->key_lines - 1];
        size_t used = strlen(line);
        if (used > 0 &&
            used + 3 + strlen(entry) > static_cast<size_t>(width - 2) &&
            t->key_lines < text_key_lines_most) {
            line = t->key[t->key_lines++];
            line[0] = '\0';
            used = 0;
        }
        snprintf(line + used, sizeof t->key[0] - used, "%s%s",
                 used ? "   " : "", entry);
    }
}

static int text_bottom(const text_layout *t)
{
    return text_axis_lines + t->key_lines + 1;
}

// The y axis in decades: every finite nonzero |Delta| is drawn at its
// log10, which exists from the smallest subnormal to the largest double, so
// none falls off. The edge marks sit in margins outside the data, the k-th
// method drawn at mark height k of its edge.
struct axis {
    double lo;
    double hi;
    double top[method_count];    // nan and inf
    double bottom[method_count]; // zero
    double step;
};

static void data_range(const drawn *dr, double *lo, double *hi, int used[4])
{
    double small = HUGE_VAL;
    double large = -HUGE_VAL;
    for (int k = 0; k < dr->count; ++k) {
        const transcript_series *s = &dr->series[dr->method[k]];
        for (unsigned long p = 0; p < s->passes; ++p) {
            double d = s->delta[p];
            enum mark how = classify(d);
            used[how] = 1;
            if (how == mark_plain) {
                double e = log10(fabs(d));
                small = e < small ? e : small;
                large = e > large ? e : large;
            }
        }
    }
    if (small > large)
        small = large = 0.0;
    *lo = floor(small);
    *hi = ceil(large);
    if (*hi <= *lo)
        *hi = *lo + 1.0;
}

static void choose_step(axis *ax, double labels)
{
    static const double steps[] = {1, 2, 5, 10, 20, 50, 100, 200};
    ax->step = 500;
    for (double s : steps) {
        if ((ax->hi - ax->lo) / s <= labels) {
            ax->step = s;
            break;
        }
    }
}

// Pictures: margins of a tenth of the data's span (at least a decade), the
// drawn methods' marks evenly within the margin (three: at 0.25, 0.5 and
// 0.75 of it from the edge).
static void picture_axis(const drawn *dr, axis *ax, int used[4])
{
    double lo, hi;
    data_range(dr, &lo, &hi, used);
    double margin = fmax(1.0, ceil((hi - lo) * 0.1));
    ax->lo = lo - margin;
    ax->hi = hi + margin;
    for (int k = 0; k < dr->count; ++k) {
        double at = margin * (k + 1) / (dr->count + 1);
        ax->top[k] = ax->hi - at;
        ax->bottom[k] = ax->lo + at;
    }
    choose_step(ax, 10.0);
}

// The text chart: one row of the frame per method at an edge that has
// marks (the rows next to the frame, the first method outermost), a free
// row beside them, the data between.
static void text_axis(const drawn *dr, const text_layout *t, axis *ax,
                      int used[4])
{
    double lo, hi;
    data_range(dr, &lo, &hi, used);
    int top_row = t->frame_rows - 1; // the frame's top
    int first = used[mark_zero] ? dr->count + 2 : 1;
    int last = used[mark_inf] || used[mark_nan] ? top_row - dr->count - 2
                                                : top_row - 1;
    double unit = (hi - lo) / (last - first);
    ax->lo = lo - first * unit;
    ax->hi = ax->lo + top_row * unit;
    for (int k = 0; k < dr->count; ++k) {
        ax->top[k] = ax->lo + (top_row - 1 - k) * unit;
        ax->bottom[k] = ax->lo + (1 + k) * unit;
    }
    choose_step(ax, 5.0);
}

// The height of a pass of the k-th method drawn: log10 |Delta|, or its mark.
static double height(double d, int k, const axis *ax)
{
    switch (classify(d)) {
    case mark_plain: return log10(fabs(d));
    case mark_zero: return ax->bottom[k];
    default: return ax->top[k];
    }
}

static void write_terminal(FILE *gp, enum output_format format, int width,
                           const text_layout *t)
{
    if (format == format_svg)
        fputs("set terminal svg size 900,600 dynamic enhanced "
              "font 'sans,12'\nset format y '10^{%.0f}'\n",
              gp);
    else if (format == format_png)
        fputs("set terminal pngcairo size 900,600 enhanced font 'sans,10'\n"
              "set format y '10^{%.0f}'\n",
              gp);
    else
        fprintf(gp,
                "set terminal dumb size %d,%d\nset format y '1e%%.0f'\n"
                "set tmargin %d\nset bmargin %d\nunset key\n",
                width, text_top + t->frame_rows + text_bottom(t), text_top,
                text_bottom(t));
}

// One data block per method drawn: pass, height, point type (pictures),
// height for the connecting line (NaN, a gap, where the pass is marked at
// an edge).
static void write_data(FILE *gp, int k, int m, const transcript_series *s,
                       const axis *ax)
{
    fprintf(gp, "$M%d << EOD\n", k);
    for (unsigned long p = 0; p < s->passes; ++p) {
        enum mark how = classify(s->delta[p]);
        double y = height(s->delta[p], k, ax);
        if (how == mark_plain)
            fprintf(gp, "%lu %.17g %d %.17g\n", p + 1, y, point_type(m, how),
                    y);
        else
            fprintf(gp, "%lu %.17g %d NaN\n", p + 1, y, point_type(m, how));
    }
    fputs("EOD\n", gp);
}

// Pictures: each method draws its passes (point type per pass, in its
// colour), a line through the ordinary ones, and a key entry; the marks
// used get key entries in black, their colour telling the method.
static void write_picture_plot(FILE *gp, const drawn *dr, const int used[4])
{
    fputs("plot ", gp);
    for (int k = 0; k < dr->count; ++k) {
        const method_def *def = method_table[dr->method[k]];
        fprintf(gp,
                "%s$M%d using 1:2:3 with points pt variable lc rgb '%s' "
                "notitle, \\\n",
                k ? ", \\\n  " : "", k, def->colour);
        fprintf(gp, "  $M%d using 1:4 with lines lc rgb '%s' notitle, \\\n", k,
                def->colour);
        fprintf(gp, "  keyentry with linespoints pt %d lc rgb '%s' title '%s'",
                point_type(dr->method[k], mark_plain), def->colour, def->name);
    }
    for (int how = mark_zero; how <= mark_nan; ++how) {
        if (used[how])
            fprintf(gp,
                    ", \\\n  keyentry with points pt %d lc rgb 'black' "
                    "title '%s'",
                    picture_points[how], mark_titles[how]);
    }
    fputc('\n', gp);
}

// The text chart: a pass is its method's capital letter, an edge mark its
// small letter; the key, below the chart, shows exactly these marks.
static void write_text_plot(FILE *gp, const drawn *dr, const text_layout *t,
                            const int used[4])
{
    fputs("set title offset 0, 1\n"
          "set label 1 '|Delta| in V' at character 1, graph 1 offset 0, 1 "
          "left\n",
          gp);
    for (int k = 0; k < t->key_lines; ++k)
        fprintf(gp, "set label %d '%s' at character 1, character %d left\n",
                k + 2 + (k ? 2 : 0), t->key[k], t->key_lines + 1 - k);
    int top = used[mark_inf] || used[mark_nan];
    if (top || used[mark_zero]) {
        fputs("set label 3 '", gp);
        for (int k = 0; k < dr->count; ++k)
            fprintf(gp, "%s%c", k ? " " : "",
                    tolower(method_table[dr->method[k]]->letter));
        fprintf(gp,
                ": Delta =%s%s%s, eine Zeile je Verfahren' at character 1, "
                "character 1 left\n",
                top ? " nan/inf oben" : "", top && used[mark_zero] ? "," : "",
                used[mark_zero] ? " 0 unten" : "");
    }
    fputs("plot ", gp);
    for (int k = 0; k < dr->count; ++k) {
        char letter = method_table[dr->method[k]]->letter;
        fprintf(gp,
                "%s$M%d using 1:($3 == %d ? $2 : NaN) with points pt \"%c\" "
                "notitle, $M%d using 1:($3 == %d ? NaN : $2) with points pt "
                "\"%c\" notitle",
                k ? ", \\\n  " : "", k, point_type(dr->method[k], mark_plain),
                letter, k, point_type(dr->method[k], mark_plain),
                tolower(letter));
    }
    fputc('\n', gp);
}

// "drei" for three methods drawn: the title's number word, up to twelve
// (German writes larger counts in digits).
static const char *const number_words[] = {
    "",       "",     "zwei", "drei", "vier", "fuenf", "sechs",
    "sieben", "acht", "neun", "zehn", "elf",  "zwoelf"};
enum { number_word_count = sizeof number_words / sizeof number_words[0] };

void write_convergence_script(FILE *gp, const transcript *t,
                              enum output_format format, int width)
{
    const transcript_series *series = t->series;
    drawn dr;
    choose_drawn(t, &dr);
    axis ax;
    int used[4] = {0, 0, 0, 0};
    text_layout layout;
    lay_out_text(&dr, width, &layout);
    if (format == format_text)
        text_axis(&dr, &layout, &ax, used);
    else
        picture_axis(&dr, &ax, used);
    unsigned long most = 0;
    for (int k = 0; k < dr.count; ++k)
        most = series[dr.method[k]].passes > most ? series[dr.method[k]].passes
                                                  : most;

    write_terminal(gp, format, width, &layout);
    if (dr.count == 1)
        fprintf(gp, "set title 'Konvergenz: %s'\n",
                method_table[dr.method[0]]->name);
    else if (dr.count < number_word_count)
        fprintf(gp, "set title 'Konvergenz der %s Verfahren'\n",
                number_words[dr.count]);
    else
        fprintf(gp, "set title 'Konvergenz der %d Verfahren'\n", dr.count);
    fprintf(gp,
            "set xlabel 'Durchlauf'\n%s"
            "set yrange [%.17g:%.17g]\nset ytics %.17g, %.17g\n"
            "set xrange [0:%lu]\nset grid\n",
            format == format_text ? "" : "set ylabel '|Delta| in V'\n", ax.lo,
            ax.hi, ceil(ax.lo / ax.step) * ax.step, ax.step, most + 1);
    if (format != format_text)
        fputs("set key outside right top\n", gp);
    for (int k = 0; k < dr.count; ++k)
        write_data(gp, k, dr.method[k], &series[dr.method[k]], &ax);
    if (format == format_text)
        write_text_plot(gp, &dr, &layout, used);
    else
        write_picture_plot(gp, &dr, used);
}
