// The module's tools for the step view's pictures: f and the real
// residual at any doubles, evenly spaced samples and consecutive doubles
// of the curve, the facts of the binary64 grid, Brent's parabola, and where
// a nan or an inf of a pass first came from.
#include <cmath>

#include "root/root.h"
#include "solver/equation.h"
#include "web/module/export.h"
#include "web/module/passes.h"

enum { curve_max = 2048 };
static double curve[2][curve_max]; // doubles and their residuals

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
    double none = std::nan("");
    double xa = pass_value(m, k, "a", none), xb = pass_value(m, k, "b", none);
    double xc = pass_value(m, k, "c", none);
    double ya = pass_value(m, k, "fa", none), yb = pass_value(m, k, "fb", none);
    double yc = pass_value(m, k, "fc", none);
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
    // A value the method does not keep counts as a number here.
    auto v = [m, k](const char *name) { return pass_value(m, k, name, 0.0); };
    int found = bad(v("a"), inf) || bad(v("b"), inf) || bad(v("fa"), inf) ||
                bad(v("fb"), inf);
    double point = v("point"), slope = v("slopeAfter");
    int o = found ? 0 : blame(origin_point, point, v("from"), v("from"), inf);
    o = o ? o : f_origin(point, inf);
    o = o ? o : blame(origin_slope, slope, point, point, inf);
    return o ? o : blame(origin_step, v("next"), point + v("d"), slope, inf);
}

// The same for f at i: where the residual of a start value came from.
EXPORT(core_f_origin) int core_f_origin(double i, int inf)
{
    return f_origin(i, inf);
}
