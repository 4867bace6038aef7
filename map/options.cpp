// diodemap's command line: the ranges, the grid, the threads, the output.
#include "map/options.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <unistd.h>

#include "common/status.h"
#include "solver/choose.h"

// The usage around the letters of all the methods.
static const char map_help_head[] =
    "Aufruf: diodemap [--U W|A:B] [--R W|A:B] [--IS W|A:B] [--grid BxH]\n"
    "                 [--verfahren BUCHSTABEN] [--farbe WAS] [--threads N]\n"
    "                 [--svg | --png | --text | --csv] [-o DATEI]\n"
    "Zeigt, wo Halbierung, Regula falsi und Newton konvergieren, kreisen "
    "oder\nzusammenbrechen. Genau zwei von U (V), R (Ohm) und I_S (A) sind "
    "Bereiche A:B\n(der erste in dieser Reihenfolge waagerecht, der zweite "
    "senkrecht), der dritte\nein Wert W. Ein Bereich mit zwei positiven "
    "Enden ist logarithmisch geteilt.\n"
    "Voreinstellung: --U 5 --R 1:1e7 --IS 1e-16:1e-6 --grid 200x150\n"
    "  --grid BxH   B mal H Gitterpunkte, von 2x2 bis 4000x4000\n"
    "  --verfahren BUCHSTABEN  welche Verfahren in welcher Reihenfolge "
    "(Voreinstellung\n"
    "               HRN; alle: ";
static const char map_help_tail[] =
    ", siehe diodelab)\n"
    "  --farbe WAS  was die Farbe vor der Grenze zaehlt: durchlaeufe "
    "(Voreinstellung)\n"
    "               oder auswertungen (von f und f', mit dem Start)\n"
    "  --threads N  Anzahl der Threads (Voreinstellung: alle Prozessoren)\n"
    "  --svg        SVG-Bild (Voreinstellung)   --png   PNG-Bild\n"
    "  --text       Textkarte so breit wie das Terminal\n"
    "  --csv        U,R,I_S,Verfahren,Durchlaeufe,Ende,I je Punkt und "
    "Verfahren\n"
    "  -o DATEI     in DATEI schreiben statt auf die Standardausgabe\n"
    "  -h, --help   diese Hilfe                 --version   die Version\n"
    "Bilder gehen nie in ein Terminal: -o DATEI oder > DATEI verwenden.\n";

const char *map_help()
{
    static char help[2048];
    char letters[method_count + 1];
    method_letters(letters);
    snprintf(help, sizeof help, "%s%s%s", map_help_head, letters,
             map_help_tail);
    return help;
}

static const char *const range_options[map_quantities] = {"--U", "--R", "--IS"};

static int take_range(const char *option, const char *arg, map_range *range)
{
    int is_range = 0;
    int status = range_argument(option, arg, &range->a, &range->b, &is_range);
    range->points = is_range ? 2 : 1;
    return status;
}

// A side of the grid at *p: 1 to 5 digits, nothing before them; moves *p
// past them.
static int grid_side(const char **p, int *side)
{
    size_t digits = strspn(*p, "0123456789");
    if (digits == 0 || digits > 5)
        return 0;
    *side = atoi(*p);
    *p += digits;
    return 1;
}

static int take_grid(const char *arg, int grid[2])
{
    const char *p = arg;
    if (!grid_side(&p, &grid[0]) || *p++ != 'x' || !grid_side(&p, &grid[1]) ||
        *p != '\0' || grid[0] < 2 || grid[1] < 2 || grid[0] > map_max_points ||
        grid[1] > map_max_points)
        return argument_error(
            "Das Gitter muss BxH mit 2 bis 4000 Punkten je Achse sein", arg);
    return exit_ok;
}

static int take_threads(const char *arg, int *threads)
{
    char *end = nullptr;
    long n = strtol(arg, &end, 10);
    if (end == arg || *end != '\0' || n < 1 || n > 256)
        return argument_error("--threads braucht eine Zahl von 1 bis 256", arg);
    *threads = static_cast<int>(n);
    return exit_ok;
}

// The first range in the order U, R, I_S is x, the second y.
static int place_axes(map_options *o)
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
        return exit_usage;
    }
    o->spec.x = axes[0];
    o->spec.y = axes[1];
    o->spec.range[o->spec.x].points = o->grid[0];
    o->spec.range[o->spec.y].points = o->grid[1];
    return exit_ok;
}

// --farbe: durchlaeufe or auswertungen.
static int take_colour(const char *value, int *colour)
{
    if (strcmp(value, "durchlaeufe") == 0)
        *colour = colour_passes;
    else if (strcmp(value, "auswertungen") == 0)
        *colour = colour_evaluations;
    else
        return argument_error("--farbe braucht durchlaeufe oder auswertungen",
                              value);
    return exit_ok;
}

int parse_map_options(int argc, char **argv, map_options *o)
{
    long cpus = sysconf(_SC_NPROCESSORS_ONLN);
    *o = map_options{};
    o->spec.range[quantity_u] = {5.0, 5.0, 1};
    o->spec.range[quantity_r] = {1.0, 1e7, 2};
    o->spec.range[quantity_i_s] = {1e-16, 1e-6, 2};
    method_choose("--verfahren", map_default_methods, o->spec.method,
                  &o->spec.methods);
    o->grid[0] = 200;
    o->grid[1] = 150;
    o->threads = cpus < 1 ? 1 : cpus > 256 ? 256 : static_cast<int>(cpus);
    o->format = format_svg;
    for (int k = 1; k < argc;) {
        int took = take_output_option(argc, argv, &k, 1, &o->format, &o->path);
        if (took < 0)
            return exit_usage;
        if (took > 0)
            continue;
        const char *option = argv[k++];
        enum info_request asked = info_option(option);
        if (asked != info_none) {
            o->info = o->info == info_none ? asked : o->info;
            continue;
        }
        int q = 0;
        while (q < map_quantities && strcmp(option, range_options[q]) != 0)
            ++q;
        int grid = strcmp(option, "--grid") == 0;
        int methods = strcmp(option, "--verfahren") == 0;
        int colour = strcmp(option, "--farbe") == 0;
        if (q == map_quantities && !grid && !methods && !colour &&
            strcmp(option, "--threads") != 0)
            return usage_error("diodemap", option);
        if (k >= argc)
            return argument_error("Es fehlt ein Wert nach der Option", option);
        const char *value = argv[k++];
        int status =
            q < map_quantities ? take_range(option, value, &o->spec.range[q])
            : grid             ? take_grid(value, o->grid)
            : methods
                ? method_choose(option, value, o->spec.method, &o->spec.methods)
            : colour ? take_colour(value, &o->spec.colour)
                     : take_threads(value, &o->threads);
        if (status != exit_ok)
            return status;
    }
    return place_axes(o);
}
