// The three root-finding methods on the diode mesh equation, one pass at a
// time, for diodesolve's report and for maps of whole regions of circuits:
//
//   f(I)    = (U_T * ln(I / I_S + 1) + R * I) - U,   U_T = 0.026 V
//   f'(I)   = U_T / (I + I_S) + R
//   bisection:     m  = (lo + hi) / 2;  f(m) <= 0 ? lo = m : hi = m
//   regula falsi:  r  = (a * f(b) - b * f(a)) / (f(b) - f(a));
//                  f(r) < 0 ? a = r : b = r
//   Newton:        x' = x - f(x) / f'(x)
//
// Every method starts from the interval [0, U / R] (Newton from U / R) and
// stops when its estimate repeats exactly or after report_pass_limit
// passes. Each step is one rounded binary64 operation in the order written
// above, so estimates and pass counts are exact and the same wherever these
// functions are compiled (every target builds with -ffp-contract=off).
#ifndef SOLVER_METHODS_H_
#define SOLVER_METHODS_H_

#include <cmath>
#include <cstdint>
#include <cstring>

#include "solver/report.h"

static const double thermal_voltage = 0.026; // U_T in volts

// The residual of the mesh equation in two halves around its logarithm,
// so that a caller can take the logarithms of several circuits back to
// back: the argument of the logarithm, then the residual from it.
inline double f_log_argument(double i, double i_s)
{
    double q = i / i_s;
    return q + 1.0;
}

inline double f_from_log(double u, double r, double i, double l)
{
    double t = r * i;
    double ul = thermal_voltage * l;
    double sum = ul + t;
    return sum - u;
}

// Residual of the mesh equation at current i, in volts.
inline double f(double u, double r, double i_s, double i)
{
    return f_from_log(u, r, i, std::log(f_log_argument(i, i_s)));
}

// Slope of f with respect to i, in ohms; u does not enter it.
inline double dfdx(double u, double r, double i_s, double i)
{
    (void)u;
    double s = i + i_s;
    double q = thermal_voltage / s;
    return q + r;
}

// Where one method stands in its run on one circuit. lo and hi are the ends
// of the interval (bisection; a and b of regula falsi, with their residuals
// flo and fhi); est is the estimate of the last pass (Newton: the estimate
// the next pass starts from), delta its residual (Newton: the residual at
// the estimate the pass started from), prev the estimate before it.
struct method_state {
    int method;
    double u, r, i_s;
    double lo, hi, flo, fhi;
    double est, delta, prev;
    uint64_t n; // the pass counter, 64 bits wherever compiled
};

inline void method_begin(method_state *s, int method, double u, double r,
                         double i_s)
{
    double top = u / r;
    *s = method_state{method, u, r, i_s, 0.0, top, 0.0, 0.0, 0.0, 0.0, 0.0, 0};
    if (method == method_regula_falsi) {
        s->flo = f(u, r, i_s, s->lo);
        s->fhi = f(u, r, i_s, s->hi);
    } else if (method == method_newton) {
        s->est = top;
    }
}

// a where cond holds, else b, chosen by a bit mask instead of a jump: the
// direction a method takes is a coin toss, and a jump there mispredicts half
// of the time while a logarithm is waited for. The empty asm hides from the
// compiler that the mask is 0 or all ones, so that it cannot turn the select
// back into a conditional jump (g++ 12 did so in the map's lanes for a plain
// ?:). Checked in the code of g++ 12 and clang++ 14 at -O2 and -O3: and,
// andn, or; no jump (objdump -d of the map engine and of diodesolve).
inline double pick(int cond, double a, double b)
{
    uint64_t m = 0 - static_cast<uint64_t>(cond != 0);
#if defined(__x86_64__) || defined(__aarch64__)
    __asm__("" : "+r"(m));
#endif
    uint64_t x, y;
    memcpy(&x, &a, sizeof x);
    memcpy(&y, &b, sizeof y);
    uint64_t z = (x & m) | (y & ~m);
    double c;
    memcpy(&c, &z, sizeof c);
    return c;
}

// Each pass in two halves around f: the point it evaluates f at, and what
// the residual d there changes.
inline double bisection_point(double lo, double hi)
{
    double sum = lo + hi;
    return sum / 2.0;
}

inline void bisection_move(double m, double d, double *lo, double *hi)
{
    int down = d <= 0.0; // zero moves the lower end, NaN the upper
    *lo = pick(down, m, *lo);
    *hi = pick(down, *hi, m);
}

inline double regula_falsi_point(double a, double b, double fa, double fb)
{
    double p1 = a * fb;
    double p2 = b * fa;
    double num = p1 - p2;
    double den = fb - fa;
    return num / den;
}

inline void regula_falsi_move(double x, double d, double *a, double *b,
                              double *fa, double *fb)
{
    int below = d < 0.0; // zero and NaN move the upper end
    *a = pick(below, x, *a);
    *fa = pick(below, d, *fa);
    *b = pick(below, *b, x);
    *fb = pick(below, *fb, d);
}

// Newton's new estimate from x and the residual d there.
inline double newton_next(double u, double r, double i_s, double x, double d)
{
    double slope = dfdx(u, r, i_s, x);
    double step = d / slope;
    return x - step;
}

// Whether a method stops after pass n with estimate next, the one before
// being prev: an exact repeat (never in pass 1; NaN never repeats), or the
// pass limit. Without jumps, for the same reason as pick().
inline int stops(uint64_t n, double next, double prev)
{
    return ((n > 1) & (next == prev)) | (n == report_pass_limit);
}

// A pass of a method, in the three parts its callers take apart (the map's
// lanes take the logarithms of several circuits between the first two):
// the point it evaluates f at; with the residual d there, the move of the
// ends and the new estimate; then the estimates shifted and the stop test.
// Each is written once, for the method named at compile time, and used by
// method_pass (diodesolve, the plain loop) and the lanes alike.
template <int method>
inline double pass_point(double lo, double hi, double flo, double fhi,
                         double est)
{
    if constexpr (method == method_bisection)
        return bisection_point(lo, hi);
    else if constexpr (method == method_regula_falsi)
        return regula_falsi_point(lo, hi, flo, fhi);
    else
        return est;
}

template <int method>
inline double pass_move(double u, double r, double i_s, double x, double d,
                        double *lo, double *hi, double *flo, double *fhi)
{
    if constexpr (method == method_bisection) {
        bisection_move(x, d, lo, hi);
        return x;
    } else if constexpr (method == method_regula_falsi) {
        regula_falsi_move(x, d, lo, hi, flo, fhi);
        return x;
    } else {
        return newton_next(u, r, i_s, x, d);
    }
}

// Counts the pass in *n and takes its new estimate next; returns 1 when
// the method stops after it (see stops()).
inline int pass_end(uint64_t *n, double next, double *est, double *prev)
{
    *prev = *est;
    *est = next;
    return stops(++*n, next, *prev);
}

// Runs the next pass of method on s. Returns 1 when the method stops after
// it: its estimate repeats the one before exactly (never in pass 1; NaN
// never repeats), or it was pass report_pass_limit.
template <int method> inline int method_step(method_state *s)
{
    double x = pass_point<method>(s->lo, s->hi, s->flo, s->fhi, s->est);
    double d = f(s->u, s->r, s->i_s, x);
    s->delta = d;
    double next = pass_move<method>(s->u, s->r, s->i_s, x, d, &s->lo, &s->hi,
                                    &s->flo, &s->fhi);
    return pass_end(&s->n, next, &s->est, &s->prev);
}

// The same for the method that s runs.
inline int method_pass(method_state *s)
{
    switch (s->method) {
    case method_bisection: return method_step<method_bisection>(s);
    case method_regula_falsi: return method_step<method_regula_falsi>(s);
    default: return method_step<method_newton>(s);
    }
}

// How a method's run ended: the number of its last pass, whether it
// stopped on an exact repeat (else at the pass limit), whether it then
// cycles (one more pass would give back the estimate before the last: it
// alternates between two values), its last estimate.
struct method_end {
    uint64_t passes;
    int repeat;
    int cycle;
    double last;
};

inline void method_finish(const method_state *s, method_end *end)
{
    end->passes = s->n;
    end->repeat = s->n > 1 && s->est == s->prev;
    end->cycle = 0;
    end->last = s->est;
    if (!end->repeat && std::isfinite(s->est)) {
        // Only at the limit, so that no pass pays for keeping an estimate
        // more: the pass after the last, on a copy.
        method_state after = *s;
        method_pass(&after);
        end->cycle = after.est == s->prev;
    }
}

// Called after every pass with its report line.
typedef void (*pass_hook)(const report_line *line, void *context);

// diodesolve's three methods, by their German names: each runs one method
// on the circuit U, R, I_S from its start to its stop, hands every pass to
// hook (unless null) and stores how it ended in *end.
void halbierung(double u, double r, double i_s, pass_hook hook, void *context,
                method_end *end);
void regula_falsi(double u, double r, double i_s, pass_hook hook, void *context,
                  method_end *end);
void newton(double u, double r, double i_s, pass_hook hook, void *context,
            method_end *end);

#endif // SOLVER_METHODS_H_
