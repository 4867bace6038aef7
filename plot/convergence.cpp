// The gnuplot script of a convergence picture: |Delta| of every pass of the
// three methods on a logarithmic axis, with the residuals that have no
// logarithm (0, inf, nan) marked at the edges.
#include "plot/convergence.h"

#include <cmath>
#include <cstdio>

static const char *const colours[report_methods] = {"#1f77b4", "#d62728",
                                                    "#2ca02c"};

// Point types: a filled circle for an ordinary pass, a triangle pointing
// down at the bottom edge for a residual of zero, one pointing up at the top
// edge for inf, a cross at the top edge for nan. The text chart draws point
// type k as the k-th capital letter: H, R, N for the methods, Z, U, X.
enum mark { mark_plain, mark_zero, mark_inf, mark_nan };
static const int picture_points[] = {7, 11, 9, 2};
static const int text_points[] = {0, 26, 21, 24};
static const int text_method_points[report_methods] = {8, 18, 14};
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

// The y axis in decades: every finite nonzero |Delta| is drawn at its
// log10, which exists from the smallest subnormal to the largest double, so
// none falls off. The edge marks sit in a margin outside the data.
struct axis {
    double lo;
    double hi;
    double margin;
    double step;
};

// The margin is a tenth of the data's span in pictures; a text chart has
// so few rows that it needs a quarter to keep the marks off the frame.
static void axis_range(const transcript_series *series, double share, axis *ax)
{
    double small = HUGE_VAL;
    double large = -HUGE_VAL;
    for (int m = 0; m < report_methods; ++m) {
        for (unsigned long k = 0; k < series[m].passes; ++k) {
            double d = series[m].delta[k];
            if (classify(d) == mark_plain) {
                double e = log10(fabs(d));
                small = e < small ? e : small;
                large = e > large ? e : large;
            }
        }
    }
    if (small > large)
        small = large = 0.0;
    double lo = floor(small);
    double hi = ceil(large);
    ax->margin = fmax(1.0, ceil((hi - lo) * share));
    ax->lo = lo - ax->margin;
    ax->hi = hi + ax->margin;
    static const double steps[] = {1, 2, 5, 10, 20, 50, 100, 200};
    ax->step = 500;
    for (double s : steps) {
        if ((ax->hi - ax->lo) / s <= 10.0) {
            ax->step = s;
            break;
        }
    }
}

// The height of a pass in the chart: log10 |Delta|, or its edge mark.
static double height(double d, const axis *ax)
{
    switch (classify(d)) {
    case mark_plain: return log10(fabs(d));
    case mark_zero: return ax->lo + 0.4 * ax->margin;
    case mark_inf: return ax->hi - 0.4 * ax->margin;
    default: return ax->hi - 0.8 * ax->margin;
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
                "set terminal dumb size %d,24\nset format y '1e%%.0f'\n"
                "set key %s\n",
                width, width >= 72 ? "outside right top" : "below");
}

// One data block per method: pass, height, point type, height for the
// connecting line (NaN, a gap, where the pass is marked at an edge).
static void write_data(FILE *gp, int m, const transcript_series *s,
                       const axis *ax, enum output_format format)
{
    fprintf(gp, "$M%d << EOD\n", m);
    for (unsigned long k = 0; k < s->passes; ++k) {
        enum mark how = classify(s->delta[k]);
        double y = height(s->delta[k], ax);
        int point =
            format == format_text ? text_points[how] : picture_points[how];
        if (format == format_text && how == mark_plain)
            point = text_method_points[m];
        if (how == mark_plain)
            fprintf(gp, "%lu %.17g %d %.17g\n", k + 1, y, point, y);
        else
            fprintf(gp, "%lu %.17g %d NaN\n", k + 1, y, point);
    }
    fputs("EOD\n", gp);
}

// Each method draws its passes (point type per pass), a line through the
// ordinary ones, and a key entry; the marks used get key entries too.
static void write_plot(FILE *gp, const transcript_series *series,
                       enum output_format format)
{
    int used[4] = {0, 0, 0, 0};
    for (int m = 0; m < report_methods; ++m)
        for (unsigned long k = 0; k < series[m].passes; ++k)
            used[classify(series[m].delta[k])] = 1;

    fputs("plot ", gp);
    for (int m = 0; m < report_methods; ++m) {
        int point = format == format_text ? text_method_points[m]
                                          : picture_points[mark_plain];
        fprintf(gp,
                "%s$M%d using 1:2:3 with points pt variable lc rgb '%s' "
                "notitle, \\\n",
                m ? ", \\\n  " : "", m, colours[m]);
        if (format != format_text)
            fprintf(gp, "  $M%d using 1:4 with lines lc rgb '%s' notitle, \\\n",
                    m, colours[m]);
        fprintf(gp, "  keyentry with linespoints pt %d lc rgb '%s' title '%s'",
                point, colours[m], report_names[m]);
    }
    for (int how = mark_zero; how <= mark_nan; ++how) {
        if (used[how])
            fprintf(gp,
                    ", \\\n  keyentry with points pt %d lc rgb 'black' "
                    "title '%s'",
                    format == format_text ? text_points[how]
                                          : picture_points[how],
                    mark_titles[how]);
    }
    fputc('\n', gp);
}

void write_convergence_script(FILE *gp, const transcript_series *series,
                              enum output_format format, int width)
{
    axis ax;
    axis_range(series, format == format_text ? 0.25 : 0.1, &ax);
    unsigned long most = 0;
    for (int m = 0; m < report_methods; ++m)
        most = series[m].passes > most ? series[m].passes : most;

    write_terminal(gp, format, width);
    fprintf(gp,
            "set title 'Konvergenz der drei Verfahren'\n"
            "set xlabel 'Durchlauf'\nset ylabel '|Delta| in V'\n"
            "set yrange [%.17g:%.17g]\nset ytics %.17g, %.17g\n"
            "set xrange [0:%lu]\nset grid\n",
            ax.lo, ax.hi, ceil(ax.lo / ax.step) * ax.step, ax.step, most + 1);
    if (format != format_text)
        fputs("set key outside right top\n", gp);
    for (int m = 0; m < report_methods; ++m)
        write_data(gp, m, &series[m], &ax, format);
    write_plot(gp, series, format);
}
