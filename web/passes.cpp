// The exact passes of the dialogue's circuit, for the page's verdicts and
// its step view: the circuit read from the dialogue's answers by
// diodesolve's own reader, every pass of every method run by the methods'
// own pass functions with what it started from and what it made, the
// residual at any doubles, and where a nan or an inf first came from.
#include <cmath>
#include <cstdio>

#include "dalv.h"
#include "solver/equation.h"
#include "solver/method.h"
#include "web/export.h"

// A pass's fields, named once for the page: the state it found (the ends
// and their residuals, Brent's c; from, the estimate of the pass before,
// where Newton starts), the point it evaluated f at, the residual d there,
// the slope there, the new estimate, the state after it, the word of its
// report line, which end's residual it scaled (1 a's, 2 b's), and where
// the tangent at the point meets the axis (methods with a slope).
// clang-format off
#define PASS_FIELDS(F) \
    F(a) F(fa) F(b) F(fb) F(c) F(fc) F(from) F(point) F(d) F(slope) \
    F(next) F(aAfter) F(faAfter) F(bAfter) F(fbAfter) F(cAfter) F(fcAfter) \
    F(shownA) F(shownB) F(word) F(scaled) F(tangentZero)
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
static double curve[2][curve_max]; // doubles and their residuals
static char text[160];

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
    return ok;
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

// Runs method m of the table on the circuit read last into its pass data;
// returns the number of passes.
EXPORT(core_run_passes) int core_run_passes(int m)
{
    double u = circuit[0], r = circuit[1], i_s = circuit[2];
    method_state s;
    method_begin(&s, m, u, r, i_s, nullptr);
    int stop = 0;
    while (!stop) {
        double *p = passes[m][s.n];
        p[field_a] = s.a, p[field_b] = s.b, p[field_c] = s.c;
        p[field_fa] = s.fa, p[field_fb] = s.fb, p[field_fc] = s.fc;
        p[field_from] = s.est;
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
        double q = s.line.delta / s.slope;
        p[field_tangentZero] = s.slope != 0.0 ? s.point - q : 0.0;
    }
    method_finish(&s, &ends[m]);
    return static_cast<int>(s.n);
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
    snprintf(text, sizeof text, "%.*g", digits, v);
    return text;
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
