// diodeplot: draws how bisection, regula falsi and Newton converge, from a
// diodesolve transcript on standard input: |Delta| per pass on a logarithmic
// axis, as SVG (default), PNG (--png) or a text chart (--text), by gnuplot.
#include <cmath>
#include <cstdio>
#include <cstring>
#include <unistd.h>

#include "report.h"

enum output_kind { out_svg, out_png, out_text };

static const char usage[] =
    "Aufruf: diodeplot [--svg | --png | --text] < diodesolve-ausgabe\n";
static const char msg_no_gnuplot[] = "FEHLER: gnuplot nicht gefunden; bitte "
                                     "installieren (Debian: gnuplot-nox)!\n";
static const char msg_gnuplot_failed[] = "FEHLER: gnuplot ist gescheitert!\n";
static const char *const titles[report_methods] = {"Halbierung", "Regula falsi",
                                                   "Newton"};
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

// Returns 1 if an executable named gnuplot lies on PATH.
static int have_gnuplot()
{
    const char *path = getenv("PATH");
    char dir[4096];
    while (path != nullptr && *path != '\0') {
        size_t n = strcspn(path, ":");
        if (n > 0 && n < sizeof dir - 9) {
            memcpy(dir, path, n);
            memcpy(dir + n, "/gnuplot", 9);
            if (access(dir, X_OK) == 0)
                return 1;
        }
        path += n + (path[n] == ':');
    }
    return 0;
}

// The axis runs a decade beyond the smallest and the largest finite nonzero
// |Delta|, leaving the edges free for the marks.
static void axis_range(const report_series *series, double *lo, double *hi)
{
    double small = HUGE_VAL;
    double large = 0.0;
    for (int m = 0; m < report_methods; ++m) {
        for (unsigned long k = 0; k < series[m].passes; ++k) {
            double v = fabs(series[m].delta[k]);
            if (classify(v) == mark_plain) {
                small = v < small ? v : small;
                large = v > large ? v : large;
            }
        }
    }
    if (large == 0.0) {
        small = 1.0;
        large = 1.0;
    }
    double bottom = floor(log10(small)) - 1.0;
    double top = ceil(log10(large)) + 1.0;
    *lo = pow(10.0, bottom < -320.0 ? -320.0 : bottom);
    *hi = pow(10.0, top > 308.0 ? 308.0 : top);
}

static void write_terminal(FILE *gp, enum output_kind kind)
{
    if (kind == out_svg)
        fputs("set terminal svg size 900,600 dynamic enhanced "
              "font 'sans,12'\nset format y '10^{%L}'\n",
              gp);
    else if (kind == out_png)
        fputs("set terminal pngcairo size 900,600 enhanced font 'sans,10'\n"
              "set format y '10^{%L}'\n",
              gp);
    else
        fputs("set terminal dumb size 100,32\nset format y '%.0e'\n", gp);
}

// Marks sit this factor inside the edges, clear of the frame; nan a step
// below inf, so that both stay visible.
static const double edge = 2.5;

// One data block per method: pass, drawn value, point type, value for the
// connecting line (NaN, a gap, where the pass is marked at an edge).
static void write_data(FILE *gp, int m, const report_series *s, double lo,
                       double hi, enum output_kind kind)
{
    fprintf(gp, "$M%d << EOD\n", m);
    for (unsigned long k = 0; k < s->passes; ++k) {
        double v = fabs(s->delta[k]);
        enum mark how = classify(v);
        double y = how == mark_plain  ? v
                   : how == mark_zero ? lo * edge
                   : how == mark_inf  ? hi / edge
                                      : hi / (edge * edge);
        int point = kind == out_text ? text_points[how] : picture_points[how];
        if (kind == out_text && how == mark_plain)
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
static void write_plot(FILE *gp, const report_series *series,
                       enum output_kind kind)
{
    int used[4] = {0, 0, 0, 0};
    for (int m = 0; m < report_methods; ++m)
        for (unsigned long k = 0; k < series[m].passes; ++k)
            used[classify(series[m].delta[k])] = 1;

    fputs("plot ", gp);
    for (int m = 0; m < report_methods; ++m) {
        int point = kind == out_text ? text_method_points[m]
                                     : picture_points[mark_plain];
        fprintf(gp,
                "%s$M%d using 1:2:3 with points pt variable lc rgb '%s' "
                "notitle, \\\n",
                m ? ", \\\n  " : "", m, colours[m]);
        if (kind != out_text)
            fprintf(gp, "  $M%d using 1:4 with lines lc rgb '%s' notitle, \\\n",
                    m, colours[m]);
        fprintf(gp, "  keyentry with linespoints pt %d lc rgb '%s' title '%s'",
                point, colours[m], titles[m]);
    }
    for (int how = mark_zero; how <= mark_nan; ++how) {
        if (used[how])
            fprintf(gp,
                    ", \\\n  keyentry with points pt %d lc rgb 'black' "
                    "title '%s'",
                    kind == out_text ? text_points[how] : picture_points[how],
                    mark_titles[how]);
    }
    fputc('\n', gp);
}

static int draw(const report_series *series, enum output_kind kind)
{
    double lo = 0.0;
    double hi = 0.0;
    axis_range(series, &lo, &hi);
    unsigned long most = 0;
    for (int m = 0; m < report_methods; ++m)
        most = series[m].passes > most ? series[m].passes : most;

    FILE *gp = popen("gnuplot", "w");
    if (gp == nullptr) {
        fputs(msg_gnuplot_failed, stderr);
        return 3;
    }
    write_terminal(gp, kind);
    fprintf(gp,
            "set title 'Konvergenz der drei Verfahren'\n"
            "set xlabel 'Durchlauf'\nset ylabel '|Delta| in V'\n"
            "set logscale y\nset yrange [%.17g:%.17g]\n"
            "set xrange [0:%lu]\nset key outside right top\nset grid\n",
            lo, hi, most + 1);
    for (int m = 0; m < report_methods; ++m)
        write_data(gp, m, &series[m], lo, hi, kind);
    write_plot(gp, series, kind);
    if (pclose(gp) != 0) {
        fputs(msg_gnuplot_failed, stderr);
        return 3;
    }
    return 0;
}

int main(int argc, char **argv)
{
    enum output_kind kind = out_svg;
    for (int k = 1; k < argc; ++k) {
        if (strcmp(argv[k], "--svg") == 0)
            kind = out_svg;
        else if (strcmp(argv[k], "--png") == 0)
            kind = out_png;
        else if (strcmp(argv[k], "--text") == 0)
            kind = out_text;
        else {
            fputs(usage, stderr);
            return strcmp(argv[k], "--help") == 0 ? 0 : 64;
        }
    }

    static report_series series[report_methods];
    char why[256];
    if (!read_report(stdin, series, why, sizeof why)) {
        fprintf(stderr, "FEHLER: %s\n", why);
        return 1;
    }
    if (!have_gnuplot()) {
        fputs(msg_no_gnuplot, stderr);
        return 2;
    }
    fflush(stdout);
    return draw(series, kind);
}
