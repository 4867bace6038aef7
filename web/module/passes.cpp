// The exact passes of the dialogue's circuit, for the page's tables,
// chart, comparison and step view: the circuit read from the dialogue's
// answers by diodesolve's own reader, every pass of every method run from
// diodelab's start values by the methods' own pass functions, with the
// values each method's record says it shows, and the measures against the
// true root.
#include "web/module/passes.h"

#include <cmath>
#include <cstdio>
#include <cstring>

#include "common/args.h"
#include "dalv.h"
#include "lab/compare.h"
#include "lab/cut.h"
#include "root/root.h"
#include "solver/equation.h"
#include "solver/method.h"
#include "web/module/export.h"

// The values every pass has, named once: the estimate it started from, the
// point it evaluated f at (the first, where it takes more) and the residual
// it reports, its new estimate, the ends and the word of its report line,
// where the next pass evaluates f; and against the true root its new
// estimate's error, distance in ulps and correct digits, the observed order
// there (only where confirmed), and the width of the interval after it
// (interval methods). Each method's own values follow them: those of its
// state as the pass found it (by the names of its record's fields), as the
// pass left it (the same names with "After"), and those its record derives.
// clang-format off
#define PASS_FIELDS(F) \
    F(from, "A") F(point, "A") F(d, "V") F(next, "A") F(shownA, "A") \
    F(shownB, "A") F(word, "") F(nextPoint, "A") F(error, "A") F(ulps, "") \
    F(digits, "") F(order, "") F(width, "A")
// clang-format on
enum {
#define INDEX(name, unit) field_##name,
    PASS_FIELDS(INDEX)
#undef INDEX
        generic_fields
};
static const method_field generic[generic_fields] = {
#define FIELD(name, unit) {#name, unit, 0, 0},
    PASS_FIELDS(FIELD)
#undef FIELD
};
enum { fields_most = generic_fields + 48 }; // a method's values a pass

double circuit[3]; // U, R, I_S
static double passes[method_count][report_pass_limit][fields_most];
static method_end ends[method_count];
static lab_run runs[method_count];
static true_root root;
enum {
    start_a,
    start_b,
    start_x0,
    start_step, // the criteria that may cut the runs
    start_residual,
    start_limit,
    start_fields,
    start_text_size = 256
};
static int start_given[start_fields]; // a, b, x0 and the criteria given
static lab_cut cut = lab_cut_none();
static double start_values[start_fields];
static char start_text[start_fields][start_text_size];
static char text[160];

// How many values method m's passes have.
static int field_count(int m)
{
    const method_def *def = method_table[m];
    return generic_fields + 2 * def->field_count + def->derived_count;
}

// Value k of method m's passes: its name into name, its unit.
static const char *field_name(int m, int k, char name[64], const char **unit)
{
    const method_def *def = method_table[m];
    int own = def->field_count;
    const method_field *f = nullptr;
    const char *after = "";
    if (k < generic_fields) {
        f = &generic[k];
    } else if (k < generic_fields + own) {
        f = &def->fields[k - generic_fields];
    } else if (k < generic_fields + 2 * own) {
        f = &def->fields[k - generic_fields - own];
        after = "After";
    } else {
        f = &def->derived[k - generic_fields - 2 * own];
    }
    snprintf(name, 64, "%s%s", f->name, after);
    *unit = f->unit;
    return name;
}

double pass_value(int m, int k, const char *name, double otherwise)
{
    char at[64];
    const char *unit;
    for (int j = 0; j < field_count(m); ++j)
        if (strcmp(field_name(m, j, at, &unit), name) == 0)
            return passes[m][k][j];
    return otherwise;
}

// v as printf's %.*g writes it with digits significant digits, in text.
static const char *format(double v, int digits)
{
    snprintf(text, sizeof text, "%.*g", digits, v);
    return text;
}

// Reads U, R and I_S as diodesolve does, from the answers the page put on
// standard input, then empties it for the next run. Returns 1 when all
// three were read (diodesolve then runs its methods), else 0.
EXPORT(core_read_circuit) int core_read_circuit()
{
    int ok = dalv_read_double(nullptr, &circuit[0]) &&
             dalv_read_double(nullptr, &circuit[1]) &&
             dalv_read_double(nullptr, &circuit[2]);
    while (getc(stdin) != EOF) {
    }
    clearerr(stdin);
    if (ok)
        root_find(circuit[0], circuit[1], circuit[2], &root);
    return ok;
}

// The page's fields for the start values a, b and x0 and the criteria (the
// step's and the residual's tolerance, the largest number of passes), as
// texts of at most 255 bytes each; core_take_start() reads them for the
// runs that follow.
EXPORT(core_start_text) char *core_start_text(int field)
{
    return start_text[field];
}

// Reads the start fields: an empty one keeps its default (a = 0, b = U / R,
// x0 = b; no criterion), any other must hold a number through and through,
// as diodelab's --intervall A:B, --x0 X, --schritt-tol T, --residuum-tol T
// and --grenze K take them (a tolerance from 0 up, a limit a whole number
// from 1 to 200). Returns 0, or 1 + the first field that holds no such
// number (the defaults then stand).
EXPORT(core_take_start) int core_take_start()
{
    int bad = 0;
    for (int k = 0; k < start_fields; ++k) {
        start_text[k][start_text_size - 1] = '\0';
        char *t = dalv_str_chomp(start_text[k]);
        start_given[k] = t != nullptr;
        double v = 0.0;
        int number = t != nullptr && whole_number(t, &v);
        int fits = k < start_step || (k < start_limit && v >= 0.0) ||
                   (v >= 1.0 && v <= report_pass_limit && v == std::floor(v));
        start_values[k] = v;
        if (t != nullptr && !(number && fits) && bad == 0)
            bad = k + 1;
    }
    if (bad)
        for (int k = 0; k < start_fields; ++k)
            start_given[k] = 0;
    cut = lab_cut_none();
    if (start_given[start_step])
        cut.step = start_values[start_step];
    if (start_given[start_residual])
        cut.residual = start_values[start_residual];
    if (start_given[start_limit])
        cut.limit = static_cast<uint64_t>(start_values[start_limit]);
    return bad;
}

// The start of the runs: as diodelab takes --intervall A:B and --x0 X, a
// missing end of the interval at its default.
static void run_start(lab_start_values *values)
{
    int interval = start_given[start_a] || start_given[start_b];
    method_start defaults;
    method_default_start(circuit[0], circuit[1], &defaults);
    double a = start_given[start_a] ? start_values[start_a] : defaults.a;
    double b = start_given[start_b] ? start_values[start_b] : defaults.b;
    lab_start(circuit[0], circuit[1], interval, a, b, start_given[start_x0],
              start_values[start_x0], values);
}

// The start values of the runs: 0 the interval's end a, 1 its end b, 2 x;
// and their criteria: 3 the step's tolerance, 4 the residual's (NaN:
// none), 5 the largest number of passes (0: none).
EXPORT(core_run_start) double core_run_start(int k)
{
    lab_start_values start;
    run_start(&start);
    const double values[] = {start.start.a, start.start.b,
                             start.start.x, cut.step,
                             cut.residual,  static_cast<double>(cut.limit)};
    return values[k];
}

// Why method m does not run from the start values set (lab_refusal), its
// word, and what diodelab says on standard error for all the methods of
// the table.
EXPORT(core_refusal) int core_refusal(int m)
{
    lab_start_values start;
    run_start(&start);
    return lab_refusal_of(m, circuit[0], circuit[1], circuit[2], &start);
}
EXPORT(core_refusal_word) const char *core_refusal_word(int m)
{
    return lab_refusal_words[core_refusal(m)];
}
EXPORT(core_refusal_message) const char *core_refusal_message()
{
    static char message[1024];
    int method[method_count], refusal[method_count];
    lab_start_values start;
    run_start(&start);
    for (int m = 0; m < method_count; ++m) {
        method[m] = m;
        refusal[m] = core_refusal(m);
    }
    lab_refusal_message(method, refusal, method_count, circuit[0], circuit[1],
                        circuit[2], &start, message, sizeof message);
    return message;
}
EXPORT(core_step_circuit) double *core_step_circuit()
{
    return circuit;
}

// Method m's values a pass: how many, and value k's name and unit.
EXPORT(core_pass_fields) int core_pass_fields(int m)
{
    return field_count(m);
}
EXPORT(core_pass_field_name) const char *core_pass_field_name(int m, int k)
{
    const char *unit;
    return field_name(m, k, text, &unit);
}
EXPORT(core_pass_field_unit) const char *core_pass_field_unit(int m, int k)
{
    char name[64];
    const char *unit;
    field_name(m, k, name, &unit);
    return unit;
}
// Method m's values, pass by pass: fields_most doubles a pass.
EXPORT(core_pass_data) double *core_pass_data(int m)
{
    return &passes[m][0][0];
}
EXPORT(core_pass_stride) int core_pass_stride()
{
    return fields_most;
}
EXPORT(core_pass_limit) int core_pass_limit()
{
    return report_pass_limit;
}

// -1, 0 or 1: on which side of the true root x lies; NaN where unknown.
EXPORT(core_root_side) double core_root_side(double x)
{
    if (!root.exists || !std::isfinite(x))
        return std::nan("");
    double e = root_error(&root, x); // its sign is exact
    return e < 0.0 ? -1.0 : e > 0.0 ? 1.0 : 0.0;
}

// The measures of pass k of method m against the root: of its estimate,
// and the order there, where it is confirmed (the last pass has none).
static void measure(int m, int k, int n, const double *ms)
{
    double *p = passes[m][k];
    double none = std::nan("");
    p[field_error] = root.exists ? root_error(&root, p[field_next]) : none;
    p[field_ulps] = root.exists ? root_ulps(&root, p[field_next]) : none;
    p[field_digits] =
        root.exists ? root_correct_digits(&root, p[field_next]) : none;
    p[field_order] = root.exists ? root_order_confirmed(&root, ms, n, k) : none;
    double w = p[field_shownB] - p[field_shownA];
    p[field_width] =
        method_table[m]->kind == method_interval ? std::fabs(w) : none;
}

// Where the pass after s evaluates f: its first half on a copy.
static double next_point(const method_state *s)
{
    method_state after = *s;
    method_table[s->method]->prepare(&after);
    return after.point;
}

// Pass k of method m into its values: what it found (before), what it made
// (after), what its record derives from the two.
static void keep_pass(int m, const method_state *before,
                      const method_state *after, double point)
{
    const method_def *def = method_table[m];
    double *p = passes[m][after->n - 1];
    p[field_from] = before->est;
    p[field_point] = point;
    p[field_d] = after->line.delta;
    p[field_next] = after->est;
    p[field_shownA] = after->line.a;
    p[field_shownB] = after->line.b;
    p[field_word] = after->line.word;
    p[field_nextPoint] = next_point(after);
    double *own = p + generic_fields;
    for (int j = 0; j < def->field_count; ++j) {
        own[j] = method_field_value(before, &def->fields[j]);
        own[def->field_count + j] = method_field_value(after, &def->fields[j]);
    }
    if (def->derive != nullptr)
        def->derive(before, after, own + 2 * def->field_count);
}

// Runs method m of the table on the circuit read last, from the start
// values set, into its pass data; returns the number of passes (0 where
// the start values refuse it).
EXPORT(core_run_passes) int core_run_passes(int m)
{
    double u = circuit[0], r = circuit[1], i_s = circuit[2];
    lab_start_values start;
    run_start(&start);
    runs[m].method = m;
    runs[m].cut = cut_none;
    runs[m].refusal = lab_refusal_of(m, u, r, i_s, &start);
    if (runs[m].refusal != refused_none) {
        ends[m] = method_end{};
        runs[m].end = ends[m];
        return 0;
    }
    method_state s;
    method_begin(&s, m, u, r, i_s, &start.start);
    const method_def *def = method_table[m];
    int stop = 0;
    while (!stop) {
        method_state before = s;
        def->prepare(&s);
        double point = s.point;
        while (!method_take(&s, f(u, r, i_s, s.point))) {
        }
        stop = s.ending != ending_none;
        if (!stop) {
            runs[m].cut = lab_cut_met(&cut, &s.line, s.prev);
            stop = runs[m].cut != cut_none;
        }
        keep_pass(m, &before, &s, point);
        runs[m].estimate[s.n - 1] = s.est;
        runs[m].width[s.n - 1] = std::fabs(s.line.b - s.line.a);
    }
    method_finish(&s, &ends[m]);
    runs[m].end = ends[m];
    int n = static_cast<int>(s.n);
    double ms[report_pass_limit];
    if (root.exists)
        lab_measures(&root, &runs[m], ms);
    for (int k = 0; k < n; ++k)
        measure(m, k, n, ms);
    return n;
}

// How method m ended, after core_run_passes(m): its ending's word, and its
// run's distance in ulps.
EXPORT(core_ending_word) const char *core_ending_word(int m)
{
    return runs[m].cut != cut_none ? lab_cut_words[runs[m].cut]
                                   : method_ending_names[ends[m].ending];
}

// Bisection's passes a priori until its interval is at most tol wide
// (lab_bisection_a_priori).
EXPORT(core_a_priori) int core_a_priori(double width, double tol)
{
    return lab_bisection_a_priori(width, tol);
}

// What method m's run cost, after core_run_passes(m): what = 0 its
// evaluations of f, 1 of f', 2 of f for its start values, 3 its
// evaluations per pass, 4 its efficiency index (lab_efficiency).
EXPORT(core_run_cost) double core_run_cost(int m, int what)
{
    double per_pass = 0.0;
    double index = lab_efficiency(&runs[m], &per_pass);
    const method_end *e = &runs[m].end;
    const double values[] = {static_cast<double>(e->evaluations[0]),
                             static_cast<double>(e->evaluations[1]),
                             static_cast<double>(e->start_evaluations),
                             per_pass, index};
    return values[what];
}
EXPORT(core_run_ulps) double core_run_ulps(int m)
{
    return root.exists ? root_ulps(&root, ends[m].last) : std::nan("");
}

// What method m's passes show against the root (root_observed_order and
// the rules beside it): what = 0 the observed order (NaN: "nicht
// bestimmbar"), 1 the first of the two passes it comes from (from 0; -1),
// 2 the mean factor by which its measure shrinks a pass, 3 how many of its
// passes' measures count for an order, 4 and 5 the smallest and the
// largest factor from one counted measure to the next (root_rate_range);
// on the errors, or on the widths of
// its interval where its method is measured so. NaN without a root.
EXPORT(core_run_convergence) double core_run_convergence(int m, int what)
{
    int n = static_cast<int>(ends[m].passes);
    if (!root.exists || n == 0)
        return std::nan("");
    double ms[report_pass_limit];
    lab_measures(&root, &runs[m], ms);
    int at = -1;
    double order = root_observed_order(&root, ms, n, &at);
    double lo, hi;
    root_rate_range(&root, ms, n, &lo, &hi);
    double values[] = {order,
                       static_cast<double>(at),
                       root_rate(&root, ms, n),
                       static_cast<double>(root_counted(&root, ms, n)),
                       lo,
                       hi};
    return values[what];
}

// Method m's distance in ulps and observed order as diodelab's comparison
// writes them.
EXPORT(core_run_text) const char *core_run_text(int m, int order)
{
    double v = order ? core_run_convergence(m, 0) : core_run_ulps(m);
    if (!order && root.exists && std::isnan(ends[m].last))
        return "nan";
    return lab_measure(text, sizeof text, v, order ? lab_order : lab_distance);
}

// The true root of the circuit read last: whether there is one, and the
// double nearest it as %.17g, or I* to digits digits (above 17).
EXPORT(core_root_exists) int core_root_exists()
{
    return root.exists;
}
EXPORT(core_root_text) const char *core_root_text(int digits)
{
    if (digits <= 17)
        return format(root.nearest, digits);
    return root_digits_text(&root, digits, text, sizeof text);
}

// diodelab's comparison of the methods of the table, in the table's order,
// after core_run_passes() for each: its exact text.
EXPORT(core_comparison) const char *core_comparison()
{
    static char comparison[4096];
    FILE *out = fmemopen(comparison, sizeof comparison, "w");
    if (out == nullptr)
        return "";
    write_comparison(out, &root, runs, method_count);
    fclose(out);
    return comparison;
}

// Whether method m, run last by core_run_passes, cycles at the limit, as
// the map counts it.
EXPORT(core_cycled) int core_cycled(int m)
{
    return ends[m].cycle;
}

// Pass k (from 0) of method m, as diodesolve reports it.
EXPORT(core_report_line) const char *core_report_line(int m, int k)
{
    const double *p = passes[m][k];
    report_line line = {m,
                        static_cast<uint64_t>(k) + 1,
                        p[field_next],
                        p[field_d],
                        p[field_shownA],
                        p[field_shownB],
                        static_cast<int>(p[field_word])};
    report_format(text, sizeof text, &line);
    return text;
}

// v as printf's %.*g writes it with digits significant digits.
EXPORT(core_format) const char *core_format(double v, int digits)
{
    return format(v, digits);
}

// Value field of pass k (from 0) of method m, as core_format writes it,
// from the module's own copy: a NaN keeps its sign, as on the console.
EXPORT(core_pass_text)
const char *core_pass_text(int m, int k, int field, int digits)
{
    return core_format(passes[m][k][field], digits);
}
