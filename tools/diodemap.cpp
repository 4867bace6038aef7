// diodemap: where bisection, regula falsi and Newton converge, cycle or
// break down, over a whole region of circuits. Two of U, R and I_S span a
// grid, the third is fixed; every grid point runs the three methods exactly
// as diodesolve does. Output: a picture (SVG, PNG), a text map or CSV.
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <unistd.h>

#include "cli.h"
#include "finish.h"
#include "gnuplot.h"
#include "map.h"
#include "map_picture.h"
#include "map_view.h"

static const char help[] =
    "Aufruf: diodemap [--U W|A:B] [--R W|A:B] [--IS W|A:B] [--grid BxH]\n"
    "                 [--threads N] [--svg | --png | --text | --csv] "
    "[-o DATEI]\n"
    "Zeigt, wo Halbierung, Regula falsi und Newton konvergieren, kreisen "
    "oder\nzusammenbrechen. Genau zwei von U (V), R (Ohm) und I_S (A) sind "
    "Bereiche A:B\n(der erste in dieser Reihenfolge waagerecht, der zweite "
    "senkrecht), der dritte\nein Wert W. Ein Bereich mit zwei positiven "
    "Enden ist logarithmisch geteilt.\n"
    "Voreinstellung: --U 5 --R 1:1e7 --IS 1e-16:1e-6 --grid 200x150\n"
    "  --grid BxH   B mal H Gitterpunkte, von 2x2 bis 4000x4000\n"
    "  --threads N  Anzahl der Threads (Voreinstellung: alle Prozessoren)\n"
    "  --svg        SVG-Bild (Voreinstellung)   --png   PNG-Bild\n"
    "  --text       Textkarte so breit wie das Terminal\n"
    "  --csv        U,R,I_S,Verfahren,Durchlaeufe,Ende,I je Punkt und "
    "Verfahren\n"
    "  -o DATEI     in DATEI schreiben statt auf die Standardausgabe\n"
    "Bilder gehen nie in ein Terminal: -o DATEI oder > DATEI verwenden.\n";

static const char *const range_options[map_quantities] = {"--U", "--R", "--IS"};

struct options {
    map_spec spec;
    int grid[2];
    int threads;
    enum output_kind kind;
    const char *path;
    int help;
};

// A whole argument as a finite number.
static int number(const char *s, double *value)
{
    char *end = nullptr;
    *value = strtod(s, &end);
    return end != s && *end == '\0' && std::isfinite(*value);
}

static int take_range(const char *option, const char *arg, map_range *range)
{
    char text[256];
    snprintf(text, sizeof text, "%s", arg);
    char *colon = strchr(text, ':');
    if (colon != nullptr)
        *colon = '\0';
    range->points = colon != nullptr ? 2 : 1;
    if (strlen(arg) >= sizeof text || !number(text, &range->a) ||
        (colon != nullptr && !number(colon + 1, &range->b))) {
        char what[64];
        snprintf(what, sizeof what, "Kein Wert W oder Bereich A:B fuer %s",
                 option);
        return argument_error(what, arg);
    }
    if (colon != nullptr && range->a == range->b)
        return argument_error("Ein Bereich braucht zwei verschiedene Enden",
                              arg);
    return 0;
}

static int take_grid(const char *arg, int grid[2])
{
    char tail = '\0';
    if (sscanf(arg, "%5dx%5d%c", &grid[0], &grid[1], &tail) != 2 ||
        grid[0] < 2 || grid[1] < 2 || grid[0] > map_max_points ||
        grid[1] > map_max_points)
        return argument_error(
            "Das Gitter muss BxH mit 2 bis 4000 Punkten je Achse sein", arg);
    return 0;
}

static int take_threads(const char *arg, int *threads)
{
    char *end = nullptr;
    long n = strtol(arg, &end, 10);
    if (end == arg || *end != '\0' || n < 1 || n > 256)
        return argument_error("--threads braucht eine Zahl von 1 bis 256", arg);
    *threads = static_cast<int>(n);
    return 0;
}

// The first range in the order U, R, I_S is x, the second y.
static int place_axes(options *o)
{
    int axes[map_quantities];
    int n = 0;
    for (int q = 0; q < map_quantities; ++q) {
        if (o->spec.range[q].points > 1)
            axes[n++] = q;
        else
            o->spec.range[q].points = 1;
    }
    if (n != 2) {
        fputs("FEHLER: Genau zwei von U, R und I_S muessen Bereiche A:B "
              "sein!\n",
              stderr);
        return 64;
    }
    o->spec.x = axes[0];
    o->spec.y = axes[1];
    o->spec.range[o->spec.x].points = o->grid[0];
    o->spec.range[o->spec.y].points = o->grid[1];
    return 0;
}

static int parse(int argc, char **argv, options *o)
{
    for (int k = 1; k < argc;) {
        int took = take_output_option(argc, argv, &k, 1, &o->kind, &o->path);
        if (took < 0)
            return 64;
        if (took > 0)
            continue;
        const char *option = argv[k++];
        if (strcmp(option, "--help") == 0) {
            o->help = 1;
            continue;
        }
        int q = 0;
        while (q < map_quantities && strcmp(option, range_options[q]) != 0)
            ++q;
        int grid = strcmp(option, "--grid") == 0;
        if (q == map_quantities && !grid && strcmp(option, "--threads") != 0)
            return usage_error("diodemap", option);
        if (k >= argc)
            return argument_error("Es fehlt ein Wert nach der Option", option);
        const char *value = argv[k++];
        int status = q < map_quantities
                         ? take_range(option, value, &o->spec.range[q])
                     : grid ? take_grid(value, o->grid)
                            : take_threads(value, &o->threads);
        if (status != 0)
            return status;
    }
    return place_axes(o);
}

struct csv_out {
    const map_spec *spec;
    FILE *out;
};

// CSV: one row per grid point and method, in the order y, x, H, R, N. A
// write error stops the map.
static int csv_row(int y, const map_cell *cells, void *context)
{
    const csv_out *c = static_cast<const csv_out *>(context);
    const map_spec *s = c->spec;
    double v[map_quantities];
    for (int q = 0; q < map_quantities; ++q)
        v[q] = range_value(&s->range[q], 0);
    v[s->y] = range_value(&s->range[s->y], y);
    for (int x = 0; x < s->range[s->x].points; ++x) {
        v[s->x] = range_value(&s->range[s->x], x);
        for (int m = 0; m < report_methods; ++m) {
            const method_outcome *o = &cells[x].method[m];
            fprintf(c->out, "%.17g,%.17g,%.17g,%c,%u,%s,%.17g\n", v[0], v[1],
                    v[2], report_letters[m], o->passes,
                    o->repeat ? "Wiederholung" : "Grenze", o->last);
        }
    }
    return ferror(c->out);
}

static int run_csv(const options *o)
{
    FILE *out = open_output(o->path);
    if (out == nullptr)
        return 1;
    fputs("U,R,I_S,Verfahren,Durchlaeufe,Ende,I\n", out);
    csv_out c = {&o->spec, out};
    if (map_run(&o->spec, o->threads, csv_row, &c) < 0) {
        fputs("FEHLER: Nicht genug Speicher oder Threads!\n", stderr);
        finish_output(out);
        return 1;
    }
    return finish_output(out);
}

// A text map or a picture: the methods' endings at a sample of the points.
static int run_view(const options *o)
{
    int width = text_width(o->path);
    int text = o->kind == out_text;
    map_view view;
    if (view_begin(&view, &o->spec, text ? width - 13 : 400, text ? 12 : 400) !=
            0 ||
        map_run(&o->spec, o->threads, view_take_row, &view) != 0) {
        view_end(&view);
        fputs("FEHLER: Nicht genug Speicher oder Threads!\n", stderr);
        return 1;
    }
    int status = 0;
    if (text) {
        FILE *out = open_output(o->path);
        if (out != nullptr)
            write_text_map(out, &view, width);
        status = out != nullptr ? finish_output(out) : 1;
    } else {
        FILE *gp = gnuplot_script();
        char *data = nullptr;
        size_t len = 0;
        if (gp != nullptr)
            write_map_script(gp, &view, o->kind);
        status = gp == nullptr ? 3 : gnuplot_run(gp, &data, &len);
        if (status == 0)
            status = write_output(o->path, data, len);
        free(data);
    }
    view_end(&view);
    return status;
}

int main(int argc, char **argv)
{
    int closed = tool_start();
    long cpus = sysconf(_SC_NPROCESSORS_ONLN);
    options o = {};
    o.spec.range[quantity_u] = {5.0, 5.0, 1};
    o.spec.range[quantity_r] = {1.0, 1e7, 2};
    o.spec.range[quantity_i_s] = {1e-16, 1e-6, 2};
    o.grid[0] = 200;
    o.grid[1] = 150;
    o.threads = cpus < 1 ? 1 : cpus > 256 ? 256 : static_cast<int>(cpus);
    o.kind = out_svg;
    int status = parse(argc, argv, &o);
    if (status != 0)
        return status;
    if (o.help) {
        fputs(help, stdout);
        return (closed & closed_stdout) ? write_error() : finish_output(stdout);
    }
    if (refuses_terminal(o.kind, o.path))
        return 64;
    if ((closed & closed_stdout) && o.path == nullptr)
        return write_error();
    return o.kind == out_csv ? run_csv(&o) : run_view(&o);
}
