// The gnuplot script of a convergence picture: |Delta| of every pass of the
// three methods on a logarithmic axis, with the residuals that have no
// logarithm (0, inf, nan) marked at the edges, each method at its own
// height there and in its own colour, so that no method's marks hide
// another's.
#include "plot/convergence.h"

#include <cmath>
#include <cstdio>

// Pictures: a filled circle for an ordinary pass, a triangle pointing down
// at the bottom edge for a residual of zero, one pointing up at the top edge
// for inf, a cross at the top edge for nan. The text chart draws a pass as
// the method's capital letter, an edge mark as its small letter.
enum mark { mark_plain, mark_zero, mark_inf, mark_nan };
static const int picture_points[] = {7, 11, 9, 2};
static const char *const mark_titles[] = {"", "Delta = 0 (am unteren Rand)",
                                          "Delta = inf (am oberen Rand)",
                                          "Delta = nan (am oberen Rand)"};
static const char text_marks[report_methods][2] = {
    {'H', 'h'}, {'R', 'r'}, {'N', 'n'}};

// The text chart: 24 lines, the title and the y axis's label above the
// frame, below it the x axis and two lines of key; the frame has
// text_frame_rows rows, the bottom one row 0.
enum { text_lines = 24, text_top = 4, text_bottom = 5 };
enum { text_frame_rows = text_lines - text_top - text_bottom };

static enum mark classify(double d)
{
    if (std::isnan(d))
        return mark_nan;
    if (std::isinf(d))
        return mark_inf;
    return d == 0.0 ? mark_zero : mark_plain;
}

// The y axis in decades: every finite nonzero |Delta| is drawn at its
// log10, which exists from the smallest subnormal to the largest double, so
// none falls off. The edge marks sit in margins outside the data, method m
// at mark height m of its edge.
struct axis {
    double lo;
    double hi;
    double top[report_methods];    // nan and inf
    double bottom[report_methods]; // zero
    double step;
};

static void data_range(const transcript_series *series, double *lo, double *hi,
                       int used[4])
{
    double small = HUGE_VAL;
    double large = -HUGE_VAL;
    for (int m = 0; m < report_methods; ++m) {
        for (unsigned long k = 0; k < series[m].passes; ++k) {
            double d = series[m].delta[k];
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

// Pictures: margins of a tenth of the data's span (at least a decade),
// the three methods' marks at 0.25, 0.5 and 0.75 of the margin from the edge.
static void picture_axis(const transcript_series *series, axis *ax, int used[4])
{
    double lo, hi;
    data_range(series, &lo, &hi, used);
    double margin = fmax(1.0, ceil((hi - lo) * 0.1));
    ax->lo = lo - margin;
    ax->hi = hi + margin;
    for (int m = 0; m < report_methods; ++m) {
        ax->top[m] = ax->hi - margin * 0.25 * (m + 1);
        ax->bottom[m] = ax->lo + margin * 0.25 * (m + 1);
    }
    choose_step(ax, 10.0);
}

// The text chart: one row of the frame per method at an edge that has
// marks (the rows next to the frame, bisection outermost), a free row
// beside them, the data between.
static void text_axis(const transcript_series *series, axis *ax, int used[4])
{
    double lo, hi;
    data_range(series, &lo, &hi, used);
    int top_row = text_frame_rows - 1; // the frame's top
    int first = used[mark_zero] ? report_methods + 2 : 1;
    int last = used[mark_inf] || used[mark_nan] ? top_row - report_methods - 2
                                                : top_row - 1;
    double unit = (hi - lo) / (last - first);
    ax->lo = lo - first * unit;
    ax->hi = ax->lo + top_row * unit;
    for (int m = 0; m < report_methods; ++m) {
        ax->top[m] = ax->lo + (top_row - 1 - m) * unit;
        ax->bottom[m] = ax->lo + (1 + m) * unit;
    }
    choose_step(ax, 5.0);
}

// The height of a pass of method m in the chart: log10 |Delta|, or its mark.
static double height(double d, int m, const axis *ax)
{
    switch (classify(d)) {
    case mark_plain: return log10(fabs(d));
    case mark_zero: return ax->bottom[m];
    default: return ax->top[m];
    }
}

static void write_terminal(FILE *gp, enum output_format format, int width)
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
                width, text_lines, text_top, text_bottom);
}

// One data block per method: pass, height, point type (pictures), height
// for the connecting line (NaN, a gap, where the pass is marked at an edge).
static void write_data(FILE *gp, int m, const transcript_series *s,
                       const axis *ax)
{
    fprintf(gp, "$M%d << EOD\n", m);
    for (unsigned long k = 0; k < s->passes; ++k) {
        enum mark how = classify(s->delta[k]);
        double y = height(s->delta[k], m, ax);
        if (how == mark_plain)
            fprintf(gp, "%lu %.17g %d %.17g\n", k + 1, y, picture_points[how],
                    y);
        else
            fprintf(gp, "%lu %.17g %d NaN\n", k + 1, y, picture_points[how]);
    }
    fputs("EOD\n", gp);
}

// Pictures: each method draws its passes (point type per pass, in its
// colour), a line through the ordinary ones, and a key entry; the marks
// used get key entries in black, their colour telling the method.
static void write_picture_plot(FILE *gp, const int used[4])
{
    fputs("plot ", gp);
    for (int m = 0; m < report_methods; ++m) {
        fprintf(gp,
                "%s$M%d using 1:2:3 with points pt variable lc rgb '%s' "
                "notitle, \\\n",
                m ? ", \\\n  " : "", m, report_colours[m]);
        fprintf(gp, "  $M%d using 1:4 with lines lc rgb '%s' notitle, \\\n", m,
                report_colours[m]);
        fprintf(gp, "  keyentry with linespoints pt %d lc rgb '%s' title '%s'",
                picture_points[mark_plain], report_colours[m], report_names[m]);
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
static void write_text_plot(FILE *gp, const int used[4])
{
    fputs("set title offset 0, 1\n"
          "set label 1 '|Delta| in V' at character 1, graph 1 offset 0, 1 "
          "left\n",
          gp);
    fprintf(gp,
            "set label 2 '%c %s   %c %s   %c %s' at character 1, character 2 "
            "left\n",
            text_marks[0][0], report_names[0], text_marks[1][0],
            report_names[1], text_marks[2][0], report_names[2]);
    int top = used[mark_inf] || used[mark_nan];
    if (top || used[mark_zero])
        fprintf(gp,
                "set label 3 '%c %c %c: Delta =%s%s%s, eine Zeile je "
                "Verfahren' at character 1, character 1 left\n",
                text_marks[0][1], text_marks[1][1], text_marks[2][1],
                top ? " nan/inf oben" : "", top && used[mark_zero] ? "," : "",
                used[mark_zero] ? " 0 unten" : "");
    fputs("plot ", gp);
    for (int m = 0; m < report_methods; ++m)
        fprintf(gp,
                "%s$M%d using 1:($3 == %d ? $2 : NaN) with points pt \"%c\" "
                "notitle, $M%d using 1:($3 == %d ? NaN : $2) with points pt "
                "\"%c\" notitle",
                m ? ", \\\n  " : "", m, picture_points[mark_plain],
                text_marks[m][0], m, picture_points[mark_plain],
                text_marks[m][1]);
    fputc('\n', gp);
}

void write_convergence_script(FILE *gp, const transcript_series *series,
                              enum output_format format, int width)
{
    axis ax;
    int used[4] = {0, 0, 0, 0};
    if (format == format_text)
        text_axis(series, &ax, used);
    else
        picture_axis(series, &ax, used);
    unsigned long most = 0;
    for (int m = 0; m < report_methods; ++m)
        most = series[m].passes > most ? series[m].passes : most;

    write_terminal(gp, format, width);
    fprintf(gp,
            "set title 'Konvergenz der drei Verfahren'\n"
            "set xlabel 'Durchlauf'\n%s"
            "set yrange [%.17g:%.17g]\nset ytics %.17g, %.17g\n"
            "set xrange [0:%lu]\nset grid\n",
            format == format_text ? "" : "set ylabel '|Delta| in V'\n", ax.lo,
            ax.hi, ceil(ax.lo / ax.step) * ax.step, ax.step, most + 1);
    if (format != format_text)
        fputs("set key outside right top\n", gp);
    for (int m = 0; m < report_methods; ++m)
        write_data(gp, m, &series[m], &ax);
    if (format == format_text)
        write_text_plot(gp, used);
    else
        write_picture_plot(gp, used);
}
