// The exact passes of the dialogue's circuit, for the page's tables,
// chart, comparison and step view: the circuit read from the dialogue's
// answers by diodesolve's own reader, every pass of every method run from
// diodelab's start values by the methods' own pass functions with what it
// started from and what it made, the measures against the true root, the
// residual at any doubles, and where a nan or an inf first came from.
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "common/args.h"
#include "dalv.h"
#include "lab/compare.h"
#include "root/root.h"
#include "solver/equation.h"
#include "solver/falsi.h"
#include "solver/method.h"
#include "web/export.h"

// A pass's fields, named once for the page: the state it found (the ends
// and their residuals, Brent's c; from, the estimate of the pass before,
// where Newton starts; stepBefore, the guarded Newton's e), the point it
// evaluated f at, the residual d there, the slope there, the new estimate,
// the state after it, the word of its report line, which end's residual it
// scaled (1 a's, 2 b's) and by what factor, which of the guarded Newton's
// rules fired (rule), where the tangent at the point meets the axis
// (methods with a slope); where the next pass evaluates f (nextPoint), and
// for a scaled pass where it would without the scaling (unscaledPoint),
// with the slopes of those two secants and on which side of the true root
// each lies (-1 below, 0 on it, 1 above; NaN unknown); the new estimate's
// error, its distance in ulps and its correct digits against the true
// root, the observed order there (only where confirmed), and the width of
// the interval after the pass (interval methods).
// clang-format off
#define PASS_FIELDS(F) \
    F(a) F(fa) F(b) F(fb) F(c) F(fc) F(from) F(stepBefore) F(point) F(d) \
    F(slope) F(next) F(aAfter) F(faAfter) F(bAfter) F(fbAfter) F(cAfter) \
    F(fcAfter) F(shownA) F(shownB) F(word) F(scaled) F(factor) F(rule) \
    F(tangentZero) F(nextPoint) F(unscaledPoint) F(nextSlope) \
    F(unscaledSlope) F(nextSide) F(unscaledSide) \
    F(error) F(ulps) F(digits) F(order) F(width)
// clang-format on
enum {
#define INDEX(name) field_##name,
    PASS_FIELDS(INDEX)
#undef INDEX
        field_fields
};
static const char *const field_names[field_fields] = {
#define NAME(name) #name,
    PASS_FIELDS(NAME)
#undef NAME
};
enum { curve_max = 2048 };

static double circuit[3]; // U, R, I_S
static double passes[method_count][report_pass_limit][field_fields];
static method_end ends[method_count];
static lab_run runs[method_count];
static true_root root;
enum { start_a, start_b, start_x0, start_fields, start_text_size = 256 };
static int start_given[start_fields]; // a, b, x0 given
static double start_values[start_fields];
static char start_text[start_fields][start_text_size];
enum { comparison_size = 4096 };
static char comparison[comparison_size];
static double curve[2][curve_max]; // doubles and their residuals
static char text[160];

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

// The page's fields for the start values a, b and x0, as texts of at most
// 255 bytes each; core_take_start() reads them for the runs that follow.
EXPORT(core_start_text) char *core_start_text(int field)
{
    return start_text[field];
}

// Reads the start fields: an empty one keeps its default (a = 0, b = U / R,
// x0 = b), any other must hold a number through and through, as diodelab's
// --intervall A:B and --x0 X take them. Returns 0, or 1 + the field that
// holds no number (the defaults then stand).
EXPORT(core_take_start) int core_take_start()
{
    int bad = 0;
    for (int k = 0; k < start_fields; ++k) {
        start_text[k][start_text_size - 1] = '\0';
        char *t = dalv_str_chomp(start_text[k]);
        start_given[k] = t != nullptr;
        if (t != nullptr && !whole_number(t, &start_values[k]) && bad == 0)
            bad = k + 1;
    }
    if (bad)
        start_given[start_a] = start_given[start_b] = start_given[start_x0] = 0;
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
EXPORT(core_pass_fields) int core_pass_fields()
{
    return field_fields;
}
EXPORT(core_pass_field_name) const char *core_pass_field_name(int k)
{
    return field_names[k];
}
EXPORT(core_pass_data) double *core_pass_data(int m)
{
    return &passes[m][0][0];
}
EXPORT(core_pass_limit) int core_pass_limit()
{
    return report_pass_limit;
}

// -1, 0 or 1: on which side of the true root x lies; NaN where unknown.
static double side_of(double x)
{
    if (!root.exists || !std::isfinite(x))
        return std::nan("");
    double e = root_error(&root, x); // its sign is exact
    return e < 0.0 ? -1.0 : e > 0.0 ? 1.0 : 0.0;
}

// (fb - fa) / (b - a): the slope of the secant through (a, fa), (b, fb).
static double secant_slope(double a, double fa, double b, double fb)
{
    double rise = fb - fa;
    double run = b - a;
    return rise / run;
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
    double w = p[field_bAfter] - p[field_aAfter];
    p[field_width] =
        method_table[m]->kind == method_interval ? std::fabs(w) : none;
    p[field_nextSide] = side_of(p[field_nextPoint]);
    p[field_unscaledSide] = side_of(p[field_unscaledPoint]);
}

// Where the pass after s evaluates f: its first half on a copy.
static double next_point(const method_state *s)
{
    method_state after = *s;
    method_table[s->method]->prepare(&after);
    return after.point;
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
    runs[m].refusal = lab_refusal_of(m, u, r, i_s, &start);
    if (runs[m].refusal != refused_none) {
        ends[m] = method_end{};
        runs[m].end = ends[m];
        return 0;
    }
    method_state s;
    method_begin(&s, m, u, r, i_s, &start.start);
    int stop = 0;
    while (!stop) {
        double *p = passes[m][s.n];
        p[field_a] = s.a, p[field_b] = s.b, p[field_c] = s.c;
        p[field_fa] = s.fa, p[field_fb] = s.fb, p[field_fc] = s.fc;
        p[field_from] = s.est;
        p[field_stepBefore] = s.step_before;
        stop = method_pass(&s);
        p[field_point] = s.point;
        p[field_d] = s.line.delta;
        p[field_slope] = s.slope;
        p[field_next] = s.est;
        p[field_aAfter] = s.a, p[field_bAfter] = s.b, p[field_cAfter] = s.c;
        p[field_faAfter] = s.fa, p[field_fbAfter] = s.fb;
        p[field_fcAfter] = s.fc;
        p[field_shownA] = s.line.a, p[field_shownB] = s.line.b;
        p[field_word] = s.line.word, p[field_scaled] = s.scaled;
        p[field_factor] = s.factor, p[field_rule] = s.rule;
        double q = s.line.delta / s.slope;
        p[field_tangentZero] = s.slope != 0.0 ? s.point - q : 0.0;
        p[field_nextPoint] = next_point(&s);
        p[field_nextSlope] = secant_slope(s.a, s.fa, s.b, s.fb);
        // The residual the scaled end kept before the scaling.
        double fa = s.scaled == 1 ? p[field_fa] : s.fa;
        double fb = s.scaled == 2 ? p[field_fb] : s.fb;
        p[field_unscaledPoint] =
            s.scaled ? regula_falsi_point(s.a, s.b, fa, fb) : std::nan("");
        p[field_unscaledSlope] =
            s.scaled ? secant_slope(s.a, fa, s.b, fb) : std::nan("");
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
    return method_ending_names[ends[m].ending];
}
EXPORT(core_run_ulps) double core_run_ulps(int m)
{
    return root.exists ? root_ulps(&root, ends[m].last) : std::nan("");
}

// What method m's passes show against the root (root_observed_order and
// the rules beside it): what = 0 the observed order (NaN: "nicht
// bestimmbar"), 1 the first of the two passes it comes from (from 0; -1),
// 2 the mean factor by which its measure shrinks a pass, 3 how many of its
// passes' measures count for an order; on the errors, or on the widths of
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
    double values[] = {order, static_cast<double>(at), root_rate(&root, ms, n),
                       static_cast<double>(root_counted(&root, ms, n))};
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
    FILE *out = fmemopen(comparison, comparison_size, "w");
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

// Field field of pass k (from 0) of method m, as core_format writes it,
// from the module's own copy: a NaN keeps its sign, as on the console.
EXPORT(core_pass_text)
const char *core_pass_text(int m, int k, int field, int digits)
{
    return core_format(passes[m][k][field], digits);
}

static double residual(double i)
{
    return f(circuit[0], circuit[1], circuit[2], i);
}
EXPORT(core_curve) double *core_curve()
{
    return &curve[0][0];
}
EXPORT(core_curve_max) int core_curve_max()
{
    return curve_max;
}

// f at each of the n doubles in curve[0] (exact: false), or the real
// residual there rounded once (exact: true), into curve[1].
EXPORT(core_residuals) void core_residuals(int n, int exact)
{
    for (int k = 0; k < n && k < curve_max; ++k)
        curve[1][k] = exact ? root_exact_residual(circuit[0], circuit[1],
                                                  circuit[2], curve[0][k])
                            : residual(curve[0][k]);
}

// The facts of the binary64 grid at I = x: the gap from |x| to the next
// larger double (its ulp) and its exponent k (ulp = 2^k), the same for U,
// R times the ulp of x (how much R I moves by one step of I), the smallest
// step between the residuals of neighbouring doubles among the n in
// curve[1] (0 where they never step), and the most neighbouring doubles
// among them over which the residual stays the same.
static double grid_facts[7];
EXPORT(core_grid_facts) const double *core_grid_facts(double x, int n)
{
    grid_facts[5] = 0;
    int run = 1, longest = n > 0 ? 1 : 0;
    for (int k = 1; k < n && k < curve_max; ++k) {
        double step = std::fabs(curve[1][k] - curve[1][k - 1]);
        if (step > 0 && std::isfinite(step) &&
            (grid_facts[5] == 0 || step < grid_facts[5]))
            grid_facts[5] = step;
        run = curve[1][k] == curve[1][k - 1] ? run + 1 : 1;
        longest = run > longest ? run : longest;
    }
    grid_facts[6] = longest;
    double ax = std::fabs(x);
    double au = std::fabs(circuit[0]);
    grid_facts[0] = std::nextafter(ax, HUGE_VAL) - ax;
    grid_facts[1] = std::ilogb(grid_facts[0]);
    grid_facts[2] = std::nextafter(au, HUGE_VAL) - au;
    grid_facts[3] = std::ilogb(grid_facts[2]);
    grid_facts[4] = circuit[1] * grid_facts[0];
    return grid_facts;
}

// n evenly spaced doubles from lo to hi (both ends exact) and f at each.
EXPORT(core_sample_curve) void core_sample_curve(double lo, double hi, int n)
{
    for (int k = 0; k < n && k < curve_max; ++k) {
        double t = static_cast<double>(k) / static_cast<double>(n - 1);
        double x = k == n - 1 ? hi : lo + (hi - lo) * t;
        curve[0][k] = x;
        curve[1][k] = residual(x);
    }
}

// The parabola of an inverse quadratic step at pass k of method m: x as
// the quadratic in y through (fa, a), (fb, b) and (fc, c) of the state the
// pass found, at each of the n heights in curve[1], into curve[0] (for
// drawing Brent's step; at y = 0 it is near the step's point, which Brent
// computes in its own order).
EXPORT(core_inverse_quadratic) void core_inverse_quadratic(int m, int k, int n)
{
    const double *p = passes[m][k];
    double xa = p[field_a], xb = p[field_b], xc = p[field_c];
    double ya = p[field_fa], yb = p[field_fb], yc = p[field_fc];
    for (int j = 0; j < n && j < curve_max; ++j) {
        double y = curve[1][j];
        double la = (y - yb) / (ya - yb) * ((y - yc) / (ya - yc));
        double lb = (y - ya) / (yb - ya) * ((y - yc) / (yb - yc));
        double lc = (y - ya) / (yc - ya) * ((y - yb) / (yc - yb));
        curve[0][j] = xa * la + xb * lb + xc * lc;
    }
}

// n consecutive doubles, the first of them below doubles below from, and f
// at each.
EXPORT(core_neighbours) void core_neighbours(double from, int below, int n)
{
    double x = from;
    for (int k = 0; k < below; ++k)
        x = std::nextafter(x, -HUGE_VAL);
    for (int k = 0; k < n && k < curve_max; ++k) {
        curve[0][k] = x;
        curve[1][k] = residual(x);
        x = std::nextafter(x, HUGE_VAL);
    }
}

// Where a value stopped being a number: the steps of a pass, numbered for
// the page's sentences. A step is blamed when it makes a nan of operands
// that are not nan (or, with inf, an inf of finite ones). The method's own
// point and step are named by the page for each method.
enum {
    origin_none,
    origin_point = 1,    // the method's point from the state it found
    origin_quotient = 3, // I / I_S
    origin_log = 4,      // ln(I / I_S + 1)
    origin_product = 5,  // R * I
    origin_residual = 6, // U_T ln(..) + R I - U
    origin_slope = 7,    // U_T / (I + I_S) + R
    origin_step = 8,     // the method's new estimate from point, d and slope
};

static int bad(double v, int inf)
{
    return inf ? !std::isfinite(v) : std::isnan(v);
}

static int blame(int step, double result, double a, double b, int inf)
{
    return bad(result, inf) && !bad(a, inf) && !bad(b, inf) ? step : 0;
}

// The first step of f at i that made a nan (inf), or 0.
static int f_origin(double i, int inf)
{
    double u = circuit[0], r = circuit[1], i_s = circuit[2];
    double q = i / i_s;
    double a = q + 1.0;
    double l = std::log(a);
    double t = r * i;
    int o = blame(origin_quotient, q, i, i_s, inf);
    o = o ? o : blame(origin_log, l, a, a, inf);
    o = o ? o : blame(origin_product, t, r, i, inf);
    return o ? o : blame(origin_residual, f_from_log(u, r, i, l), l, t, inf);
}

// For pass k (from 0) of method m: the first step that made a nan (inf),
// or 0 when the pass found one already: its point from the state it found,
// f at the point, the slope there, the new estimate.
EXPORT(core_origin) int core_origin(int m, int k, int inf)
{
    const double *p = passes[m][k];
    int found = bad(p[field_a], inf) || bad(p[field_b], inf) ||
                bad(p[field_fa], inf) || bad(p[field_fb], inf);
    int o = found ? 0
                  : blame(origin_point, p[field_point], p[field_from],
                          p[field_from], inf);
    o = o ? o : f_origin(p[field_point], inf);
    o = o ? o
          : blame(origin_slope, p[field_slope], p[field_point], p[field_point],
                  inf);
    return o ? o
             : blame(origin_step, p[field_next], p[field_point] + p[field_d],
                     p[field_slope], inf);
}

// The same for f at i: where the residual of a start value came from.
EXPORT(core_f_origin) int core_f_origin(double i, int inf)
{
    return f_origin(i, inf);
}
