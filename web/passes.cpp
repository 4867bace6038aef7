// The exact passes of the dialogue's circuit, for the page's verdicts and
// its step view: the circuit read from the dialogue's answers by
// diodesolve's own reader, every pass of a method run by the methods' own
// pass functions with what it started from and what it made, the residual
// at any doubles, and where a nan or an inf first came from.
#include <cmath>
#include <cstdio>

#include "dalv.h"
#include "solver/methods.h"
#include "web/export.h"

// A pass: the state it found (bisection's lo and hi; regula falsi's a, b
// and their residuals; Newton's x in from), the point it evaluated f at,
// the residual there, Newton's slope, the new estimate, the ends after it.
enum {
    field_lo,
    field_hi,
    field_flo,
    field_fhi,
    field_from,
    field_point,
    field_d,
    field_slope,
    field_next,
    field_lo_after,
    field_hi_after,
    field_fields
};
enum { curve_max = 2048 };

static double circuit[3]; // U, R, I_S
static double passes[report_methods][report_pass_limit][field_fields];
static double curve[2][curve_max]; // doubles and their residuals
static char text[160];
static int cycled; // of the method run last

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
EXPORT(core_pass_data) double *core_pass_data(int m)
{
    return &passes[m][0][0];
}
EXPORT(core_pass_limit) int core_pass_limit()
{
    return report_pass_limit;
}

// Runs method m on the circuit read last into the pass data; returns the
// number of passes.
EXPORT(core_run_passes) int core_run_passes(int m)
{
    double u = circuit[0], r = circuit[1], i_s = circuit[2];
    method_state s;
    method_begin(&s, m, u, r, i_s);
    int stop = 0;
    while (!stop) {
        double *p = passes[m][s.n];
        p[field_lo] = s.lo, p[field_hi] = s.hi;
        p[field_flo] = s.flo, p[field_fhi] = s.fhi, p[field_from] = s.est;
        stop = method_pass(&s);
        p[field_point] = m == method_newton ? p[field_from] : s.est;
        p[field_d] = s.delta;
        p[field_slope] =
            m == method_newton ? dfdx(u, r, i_s, p[field_from]) : 0.0;
        p[field_next] = s.est;
        p[field_lo_after] = s.lo, p[field_hi_after] = s.hi;
    }
    method_end end;
    method_finish(&s, &end);
    cycled = end.cycle;
    return static_cast<int>(s.n);
}

// Whether the method run last cycles at the limit, as the map counts it.
EXPORT(core_cycled) int core_cycled()
{
    return cycled;
}

// Pass number pass of method m with estimate i, residual delta and ends a
// and b, as diodesolve reports it.
EXPORT(core_report_line)
const char *core_report_line(int m, int pass, double i, double delta, double a,
                             double b)
{
    report_line line = {m, static_cast<uint64_t>(pass), i, delta, a, b};
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

// Where a value stopped being a number: the steps of f and of the methods,
// numbered for the page's sentences. A step is blamed when it makes a nan
// of operands that are not nan (or, with inf, an inf of finite ones).
enum {
    origin_none,
    origin_sum_ends = 1, // lo + hi
    origin_secant = 2,   // (a fb - b fa) / (fb - fa)
    origin_quotient = 3, // I / I_S
    origin_log = 4,      // ln(I / I_S + 1)
    origin_product = 5,  // R * I
    origin_residual = 6, // U_T ln(..) + R I - U
    origin_slope = 7,    // U_T / (I + I_S) + R
    origin_step = 8,     // x - d / s
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

// For pass k (from 0) of method m, run last: the first step that made a
// nan (inf), or 0 when the pass found one already.
EXPORT(core_origin) int core_origin(int m, int k, int inf)
{
    const double *p = passes[m][k];
    double u = circuit[0], r = circuit[1], i_s = circuit[2];
    int o = 0;
    if (m == method_bisection)
        o = blame(origin_sum_ends, p[field_lo] + p[field_hi], p[field_lo],
                  p[field_hi], inf);
    else if (m == method_regula_falsi)
        o = blame(origin_secant, p[field_point], p[field_lo] + p[field_flo],
                  p[field_hi] + p[field_fhi], inf);
    o = o ? o : f_origin(p[field_point], inf);
    if (m == method_newton && !o) {
        o = blame(origin_slope, dfdx(u, r, i_s, p[field_from]), p[field_from],
                  i_s, inf);
        o = o ? o
              : blame(origin_step, p[field_next], p[field_from], p[field_d],
                      inf);
    }
    return o;
}

// The same for f at i: where the residual of a start value came from.
EXPORT(core_f_origin) int core_f_origin(double i, int inf)
{
    return f_origin(i, inf);
}
