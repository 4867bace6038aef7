// The page's WebAssembly reactor: diodemap's option parser, map rows, CSV
// and view, and diodeplot's transcript reader, called from JavaScript. The
// page's main thread holds the view; each Web Worker computes rows. Every
// call works on the module's own buffers, whose addresses it exports.
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "common/args.h"
#include "common/status.h"
#include "lab/options.h"
#include "lab/sheet.h"
#include "map/csv.h"
#include "map/lanes.h"
#include "map/options.h"
#include "map/picture.h"
#include "map/view.h"
#include "plot/transcript.h"
#include "web/module/export.h"

enum { transcript_size = 1 << 20 };

static char *args = nullptr; // NUL-separated words
static size_t args_size = 0;
static char **argv = nullptr;                 // diodemap and the words
static char transcript_text[transcript_size]; // diodesolve's standard output
static map_options options;
static double xs[map_max_points];
static method_outcome cells[map_max_points * method_count];
static map_text text;
static map_view view;
static double circuit[map_quantities];
static transcript read;
static char why[512];
static char label[192];

// Room for count words of size bytes in all, their terminators included.
// Returns where they go, or null without memory.
EXPORT(core_args) char *core_args(int count, int size)
{
    char *words =
        static_cast<char *>(realloc(args, static_cast<size_t>(size) + 1));
    char **list = static_cast<char **>(
        realloc(argv, sizeof(char *) * (static_cast<size_t>(count) + 2)));
    if (words != nullptr)
        args = words;
    if (list != nullptr)
        argv = list;
    if (words == nullptr || list == nullptr)
        return nullptr;
    args_size = static_cast<size_t>(size) + 1;
    memset(args, 0, args_size);
    return args;
}
EXPORT(core_cells) method_outcome *core_cells()
{
    return cells;
}
// The bytes of a point's outcomes: one per method of the map.
EXPORT(core_cell_size) int core_cell_size()
{
    return static_cast<int>(sizeof(method_outcome)) * options.spec.methods;
}
EXPORT(core_text) char *core_text()
{
    return text.data;
}
EXPORT(core_csv_header) const char *core_csv_header()
{
    return csv_header;
}
EXPORT(core_circuit) double *core_circuit()
{
    return circuit;
}

// The options of diodemap that only the console has: the page draws its
// own panels, computes with its own workers and writes no file.
static const char *const console_only[] = {"--svg", "--png",     "--text",
                                           "--csv", "--threads", "-o"};

// Parses the count words that core_args made room for as diodemap's
// arguments after its name; messages go to standard error as on the
// console. Returns the exit status: 0 when the map can be computed, 64
// after a usage error, or core_answered when --help, -h or --version was
// answered on standard output and there is no map to compute.
enum { core_answered = 100 };
// argv for the count words, after the tool's name; returns argc.
static int words(char *name, int count)
{
    argv[0] = name;
    int argc = 1;
    for (char *p = args; argc <= count; ++argc) {
        argv[argc] = p;
        p += strlen(p) + 1;
    }
    argv[argc] = nullptr;
    return argc;
}

EXPORT(core_parse) int core_parse(int count)
{
    static char name[] = "diodemap";
    int argc = words(name, count);
    for (int k = 1; k < argc; ++k)
        for (const char *option : console_only)
            if (strcmp(argv[k], option) == 0) {
                argument_error("Diese Option gibt es nur auf der Konsole; die "
                               "Seite kennt --U, --R, --IS und --grid",
                               option);
                fflush(stderr);
                return exit_usage;
            }
    int status = parse_map_options(argc, argv, &options);
    fflush(stderr);
    if (status != 0)
        return status;
    if (options.info != info_none) {
        if (options.info == info_version)
            printf("diodemap %s\n", DALV_VERSION);
        else
            fputs(map_help(), stdout);
        fflush(stdout);
        return core_answered;
    }
    const map_spec *s = &options.spec;
    for (int x = 0; x < s->range[s->x].points; ++x)
        xs[x] = range_value(&s->range[s->x], x);
    return 0;
}

// The grid's width and height, and which quantity (0 U, 1 R, 2 I_S) runs
// along axis 0 (x) and 1 (y).
EXPORT(core_points) int core_points(int axis)
{
    const map_spec *s = &options.spec;
    return s->range[axis ? s->y : s->x].points;
}
EXPORT(core_quantity) int core_quantity(int axis)
{
    return axis ? options.spec.y : options.spec.x;
}

// Computes row y into cells; with csv, also its CSV lines into text.
// Returns their length, or -1 when memory runs out.
EXPORT(core_row) int core_row(int y, int csv)
{
    map_row(&options.spec, xs, y, cells);
    text.len = 0;
    if (csv && csv_format_row(y, cells, xs, &text, &options.spec) != 0)
        return -1;
    return static_cast<int>(text.len);
}

// A view of at most cols x rows samples; 0, or -1 without memory.
EXPORT(core_view_begin) int core_view_begin(int cols, int rows)
{
    view_end(&view);
    return view_begin(&view, &options.spec, cols, rows);
}
EXPORT(core_view_size) int core_view_size(int axis)
{
    return axis ? view.rows : view.cols;
}

// Hands the view row y, whose cells the page has put into cells; rows come
// in order of y.
EXPORT(core_take_row) void core_take_row(int y)
{
    view_take_row(y, cells, &text, &view);
}

EXPORT(core_ending) int core_ending(int m, int row, int col)
{
    return view_ending(&view, m, row, col);
}
// What the colour counts at a sample that ended before the limit: its
// passes or its evaluations (--farbe), and those words.
EXPORT(core_count) unsigned core_count(int m, int row, int col)
{
    return view_count(&view, m, row, col);
}
EXPORT(core_counted) const char *core_counted()
{
    return view_counted(&view);
}
// The view's evaluations of f and f', [method][row][col].
EXPORT(core_view_evaluations) const unsigned short *core_view_evaluations()
{
    return view.evaluations;
}
// The view's endings, [method][row][col], for the page to keep a copy of
// the map it shows.
EXPORT(core_view_endings) const unsigned char *core_view_endings()
{
    return view.ending;
}
EXPORT(core_share) double core_share(int m, int end)
{
    return view_share(&view, m, end);
}
// The shares of method m for its panel's title; the fixed quantity.
EXPORT(core_shares) const char *core_shares(int m)
{
    describe_shares(&view, m, ", Grenze: ", label, sizeof label);
    return label;
}
EXPORT(core_fixed) const char *core_fixed()
{
    describe_fixed(&options.spec, label, sizeof label);
    return label;
}
// The view's title: what its colour counts, the fixed quantity, the grid.
EXPORT(core_title) const char *core_title()
{
    describe_title(&view, label, sizeof label);
    return label;
}
// The label of axis 0 (x) or 1 (y), "logarithmisch" where it is.
EXPORT(core_axis_label) const char *core_axis_label(int axis)
{
    axis_label(&options.spec, axis, label, sizeof label);
    return label;
}
// The ticks of axis 0 (x) or 1 (y): their count; then tick k's place (0 at
// the first sample, 1 at the last) and its label ("1e7", "4.7e3").
static axis_tick ticks[axis_ticks_most];
static int tick_axis = 0;
EXPORT(core_ticks) int core_ticks(int axis)
{
    const map_spec *s = &options.spec;
    tick_axis = axis ? s->y : s->x;
    return axis_ticks(&s->range[tick_axis], ticks);
}
EXPORT(core_tick_at) double core_tick_at(int k)
{
    return ticks[k].at;
}
EXPORT(core_tick_text) const char *core_tick_text(int k)
{
    tick_text(&options.spec.range[tick_axis], ticks[k].value, tick_plain, label,
              sizeof label);
    return label;
}
// The German texts the page shows beside the module's numbers: the label,
// name and unit of quantity k (U, R, I_S); the name of class k of endings
// and its line in a legend.
EXPORT(core_quantity_label) const char *core_quantity_label(int k)
{
    return quantity_labels[k];
}
EXPORT(core_quantity_name) const char *core_quantity_name(int k)
{
    return quantity_names[k];
}
EXPORT(core_quantity_unit) const char *core_quantity_unit(int k)
{
    return quantity_units[k];
}
EXPORT(core_class_name) const char *core_class_name(int k)
{
    return end_class_table[k].name;
}
EXPORT(core_class_legend) const char *core_class_legend(int k)
{
    return end_class_table[k].legend;
}
// The table of methods: how many, and method k's letter, name, colour,
// order from the literature and kind (0 an interval method, 1 an open
// one).
EXPORT(core_method_count) int core_method_count()
{
    return method_count;
}
EXPORT(core_method_letter) int core_method_letter(int k)
{
    return method_table[k]->letter;
}
EXPORT(core_method_name) const char *core_method_name(int k)
{
    return method_table[k]->name;
}
EXPORT(core_method_colour) const char *core_method_colour(int k)
{
    return method_table[k]->colour;
}
EXPORT(core_method_order) const char *core_method_order(int k)
{
    return method_table[k]->order;
}
EXPORT(core_method_kind) int core_method_kind(int k)
{
    return method_table[k]->kind;
}
// The start values it needs (method_needs bits).
EXPORT(core_method_needs) int core_method_needs(int k)
{
    return static_cast<int>(method_table[k]->needs);
}
// Whether its observed order is measured on its interval's width.
EXPORT(core_method_by_width) int core_method_by_width(int k)
{
    return method_table[k]->order_by_width;
}
// Whether its Delta is f where the pass started (Newton's).
EXPORT(core_method_delta_at_start) int core_method_delta_at_start(int k)
{
    return method_table[k]->delta_at_start;
}
// Whether it can end "Waagerecht" (a stop test of its gives ending_level).
EXPORT(core_method_ends_level) int core_method_ends_level(int k)
{
    return (method_endings_of(method_table[k]) >> ending_level) & 1u;
}
// Its mark in pictures (method_mark): corners (0 a circle), the first
// corner's turn in degrees, size, filled, star.
EXPORT(core_method_corners) int core_method_corners(int k)
{
    return method_table[k]->mark.corners;
}
EXPORT(core_method_turn) double core_method_turn(int k)
{
    return method_table[k]->mark.turn;
}
EXPORT(core_method_size) double core_method_size(int k)
{
    return method_table[k]->mark.size;
}
EXPORT(core_method_filled) int core_method_filled(int k)
{
    return method_table[k]->mark.filled;
}
EXPORT(core_method_star) int core_method_star(int k)
{
    return method_table[k]->mark.star;
}
// The methods of the map parsed last: how many, and the table's index of
// the one in slot k.
EXPORT(core_map_methods) int core_map_methods()
{
    return options.spec.methods;
}
EXPORT(core_map_method) int core_map_method(int k)
{
    return options.spec.method[k];
}
// What ends the view's methods before the limit, for the page's texts:
// "bis zur Wiederholung" or "bis zum Ende vor der Grenze".
EXPORT(core_passes_to) const char *core_passes_to()
{
    return view_passes_to(&view);
}
// The classes of endings, the first of them ending before the limit.
EXPORT(core_end_classes) int core_end_classes()
{
    return end_classes;
}
// The counts that start each bucket of the view's legend (2, 4, ...,
// 128 passes or 256 evaluations).
EXPORT(core_buckets) int core_buckets()
{
    return view_buckets(&view);
}
EXPORT(core_bucket_start) int core_bucket_start(int k)
{
    return bucket_start(k);
}
EXPORT(core_bucket_top) int core_bucket_top()
{
    return bucket_top(&view);
}
// The ending byte of class k (k > 0), and the class of an ending byte.
EXPORT(core_limit_ending) int core_limit_ending(int k)
{
    return ending_code(k);
}
// Class k's place in the order of the legends; whether it is a way to reach
// the limit; whether the view shows it.
EXPORT(core_class_order) int core_class_order(int j)
{
    return class_order[j];
}
EXPORT(core_class_at_limit) int core_class_at_limit(int k)
{
    return end_class_table[k].at_limit;
}
EXPORT(core_view_shows) int core_view_shows(int k)
{
    return view_shows(&view, k);
}
EXPORT(core_ending_class) int core_ending_class(int ending)
{
    return ending_class(static_cast<unsigned char>(ending));
}
// The colour of an ending in the view, with what the colour counts there.
EXPORT(core_colour) unsigned core_colour(int ending, unsigned count)
{
    return palette_colour(&view, static_cast<unsigned char>(ending), count);
}

// The circuit of sample row, col into circuit (U, R, I_S); returns it.
EXPORT(core_sample_circuit) double *core_sample_circuit(int row, int col)
{
    const map_spec *s = &options.spec;
    int y = sample_point(row, view.rows, s->range[s->y].points);
    int x = sample_point(col, view.cols, s->range[s->x].points);
    row_values(s, y, circuit);
    circuit[s->x] = range_value(&s->range[s->x], x);
    return circuit;
}

EXPORT(core_transcript) char *core_transcript()
{
    return transcript_text;
}
EXPORT(core_transcript_size) int core_transcript_size()
{
    return transcript_size;
}

// Reads the len bytes of the transcript. Returns 1, or 0 with the reason
// in why (core_why).
EXPORT(core_read_transcript) int core_read_transcript(int len)
{
    FILE *in = fmemopen(transcript_text, static_cast<size_t>(len), "r");
    why[0] = '\0';
    if (in == nullptr) {
        snprintf(why, sizeof why, "Kein Speicher fuer das Protokoll!");
        return 0;
    }
    int ok = read_transcript(in, &read, why, sizeof why);
    fclose(in);
    return ok;
}
EXPORT(core_why) const char *core_why()
{
    return why;
}
// The passes of method m of the table in the transcript read last (0: no
// block), the residual and current of pass k.
EXPORT(core_passes) int core_passes(int m)
{
    return static_cast<int>(read.series[m].passes);
}
EXPORT(core_delta) double core_delta(int m, int k)
{
    return read.series[m].delta[k];
}
EXPORT(core_current) double core_current(int m, int k)
{
    return read.series[m].current[k];
}
// The methods of the transcript read last, in the order of their blocks.
EXPORT(core_transcript_methods) int core_transcript_methods()
{
    return read.count;
}
EXPORT(core_transcript_method) int core_transcript_method(int k)
{
    return read.order[k];
}

// Exercise sheets: diodelab's arguments for them (--blatt and the rest; no
// -o), parsed as diodelab parses them, messages on standard error. Returns
// the exit status: 0 when the sheets can be written, 64 after a usage
// error.
static lab_options lab;
EXPORT(core_sheet_parse) int core_sheet_parse(int count)
{
    static char name[] = "diodelab";
    int argc = words(name, count);
    for (int k = 1; k < argc; ++k)
        if (strcmp(argv[k], "-o") == 0 || strcmp(argv[k], "--csv") == 0) {
            argument_error("Diese Option gibt es nur auf der Konsole; die "
                           "Seite schreibt LaTeX und CSV selbst",
                           argv[k]);
            fflush(stderr);
            return exit_usage;
        }
    int status = parse_lab_options(argc, argv, &lab);
    if (status == exit_ok && (!lab.sheets || lab.info != info_none)) {
        fputs("FEHLER: Die Seite schreibt hier nur Blaetter: --blatt SAAT!\n",
              stderr);
        status = exit_usage;
    }
    fflush(stderr);
    return status;
}
// Writes what parsed to standard output: 0 the sheets and keys as LaTeX
// (diodelab's bytes), 1 the key as CSV (diodelab --csv), 2 the sheets and
// 3 the keys as lines of parts (sheet_write_lines), 4 and 5 the first
// sheet and the first key alone (the preview). Returns 1, or 0 where
// a circuit cannot be drawn.
EXPORT(core_sheet_write) int core_sheet_write(int what)
{
    int done = what == 0   ? sheet_write_latex(stdout, &lab.sheet)
               : what == 1 ? sheet_write_csv(stdout, &lab.sheet)
               : what <= 3 ? sheet_write_lines(stdout, &lab.sheet, what - 2,
                                               lab.sheet.count)
                           : sheet_write_lines(stdout, &lab.sheet, what - 4, 1);
    fflush(stdout);
    return done;
}
