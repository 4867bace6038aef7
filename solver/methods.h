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

#include "solver/report.h"

static_assert(sizeof(unsigned long) == 8, "the pass counter has 64 bits");

static const double thermal_voltage = 0.026; // U_T in volts

// Residual of the mesh equation at current i, in volts.
inline double f(double u, double r, double i_s, double i)
{
    double t = r * i;
    double q = i / i_s;
    double a = q + 1.0;
    double l = std::log(a);
    double ul = thermal_voltage * l;
    double sum = ul + t;
    return sum - u;
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
    unsigned long n;
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

// The pass for each method; the interval's ends are chosen, not branched
// to, so that a run costs no mispredicted jumps.
inline double bisection_pass(method_state *s)
{
    double sum = s->lo + s->hi;
    double m = sum / 2.0;
    double d = f(s->u, s->r, s->i_s, m);
    int down = d <= 0.0; // zero moves the lower end, NaN the upper
    s->lo = down ? m : s->lo;
    s->hi = down ? s->hi : m;
    s->delta = d;
    return m;
}

inline double regula_falsi_pass(method_state *s)
{
    double p1 = s->lo * s->fhi;
    double p2 = s->hi * s->flo;
    double num = p1 - p2;
    double den = s->fhi - s->flo;
    double x = num / den;
    double d = f(s->u, s->r, s->i_s, x);
    int below = d < 0.0; // zero and NaN move the upper end
    s->lo = below ? x : s->lo;
    s->flo = below ? d : s->flo;
    s->hi = below ? s->hi : x;
    s->fhi = below ? s->fhi : d;
    s->delta = d;
    return x;
}

inline double newton_pass(method_state *s)
{
    double x = s->est;
    double d = f(s->u, s->r, s->i_s, x);
    double slope = dfdx(s->u, s->r, s->i_s, x);
    double step = d / slope;
    s->delta = d;
    return x - step;
}

// Runs the next pass of the method s runs, which the caller names again
// (so that a caller running one method on many circuits pays for no choice
// among the three). Returns 1 when the method stops after it: its estimate
// repeats the one before exactly (never in pass 1; NaN never repeats), or it
// was pass report_pass_limit.
inline int method_step(method_state *s, int method)
{
    ++s->n;
    double next = method == method_bisection      ? bisection_pass(s)
                  : method == method_regula_falsi ? regula_falsi_pass(s)
                                                  : newton_pass(s);
    s->prev = s->est;
    s->est = next;
    return (s->n > 1 && next == s->prev) || s->n == report_pass_limit;
}

inline int method_pass(method_state *s)
{
    return method_step(s, s->method);
}

// How a method's run ended: the number of its last pass, whether it
// stopped on an exact repeat (else at the pass limit), its last estimate.
struct method_end {
    unsigned long passes;
    int repeat;
    double last;
};

inline void method_finish(const method_state *s, method_end *end)
{
    end->passes = s->n;
    end->repeat = s->n > 1 && s->est == s->prev;
    end->last = s->est;
}

// Called after every pass with its report line.
typedef void (*pass_hook)(const report_line *line, void *context);

// Each runs one method on the circuit U, R, I_S from its start to its stop,
// hands every pass to hook (unless null) and stores how it ended in *end.
void halbierung(double u, double r, double i_s, pass_hook hook, void *context,
                method_end *end);
void regula_falsi(double u, double r, double i_s, pass_hook hook, void *context,
                  method_end *end);
void newton(double u, double r, double i_s, pass_hook hook, void *context,
            method_end *end);

#endif // SOLVER_METHODS_H_
