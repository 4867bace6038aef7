// Brent's method (B), in the form of the routine zeroin of Forsythe,
// Malcolm and Moler, with the tolerance 0. It keeps b, the best estimate,
// c, the other end of an interval around the root, and a, the previous b;
// each pass takes an inverse quadratic or secant step where that is safe,
// otherwise a bisection step:
//
//   tol1 = 2^-51 |b|,  xm = (c - b) / 2
//   secant (a = c):   s = fb/fa;  p = 2 xm s;  q = 1 - s
//   inverse quadratic: q0 = fa/fc, r = fb/fc, s = fb/fa;
//                      p = s (2 xm q0 (q0 - r) - (b - a)(r - 1));
//                      q = (q0 - 1)(r - 1)(s - 1)
//   the step p / q where 2|p| < 3 xm q - |tol1 q| and 2|p| < |e q|,
//   else xm; b moves by the step, by tol1 at least.
//
// It reports b and f(b), the lower and the upper of b and c, and which step
// it chose; it stops when |xm| <= tol1, on a residual of exactly 0, or at
// the limit (it has no repeat rule: b stays whenever the new point was the
// worse one).
#include <cmath>

#include "solver/equation.h"
#include "solver/method.h"

enum { word_secant, word_quadratic, word_halbierung };
static const char *const brent_words[] = {"Sekante", "quadratisch",
                                          "Halbierung", nullptr};

// b the better of b and c: the one with the smaller residual.
static void rotate(method_state *s)
{
    if (std::fabs(s->fc) < std::fabs(s->fb)) {
        s->a = s->b;
        s->b = s->c;
        s->c = s->a;
        s->fa = s->fb;
        s->fb = s->fc;
        s->fc = s->fa;
    }
}

static void tolerance(const method_state *s, double *tol1, double *xm)
{
    double ab = std::fabs(s->b);
    *tol1 = 0x1p-51 * ab;
    double t = s->c - s->b;
    *xm = 0.5 * t;
}

static void begin(method_state *s, const method_start *start)
{
    s->a = start->a;
    s->b = start->b;
    s->fa = f(s->u, s->r, s->i_s, s->a);
    s->fb = f(s->u, s->r, s->i_s, s->b);
    s->c = s->a;
    s->fc = s->fa;
    s->step = s->b - s->a;
    s->step_before = s->step;
    rotate(s);
    s->est = s->b;
}

// The step from b (zeroin's d), and which it is; e (step_before) as the
// step asks.
static int choose_step(method_state *s, double tol1, double xm, double *d)
{
    double e = s->step_before;
    if (std::fabs(e) >= tol1 && std::fabs(s->fa) > std::fabs(s->fb)) {
        double sb = s->fb / s->fa;
        double p, q;
        int word;
        if (s->a == s->c) {
            double t = 2.0 * xm;
            p = t * sb;
            q = 1.0 - sb;
            word = word_secant;
        } else {
            double q0 = s->fa / s->fc;
            double r = s->fb / s->fc;
            double t1 = 2.0 * xm;
            double t2 = t1 * q0;
            double t3 = q0 - r;
            double t4 = t2 * t3;
            double t5 = s->b - s->a;
            double t6 = r - 1.0;
            double t7 = t5 * t6;
            double t8 = t4 - t7;
            p = sb * t8;
            double u1 = q0 - 1.0;
            double u2 = r - 1.0;
            double u3 = sb - 1.0;
            double u4 = u1 * u2;
            q = u4 * u3;
            word = word_quadratic;
        }
        if (p > 0.0)
            q = -q;
        p = std::fabs(p);
        double w = 2.0 * p;
        double m0 = 3.0 * xm;
        double m1 = m0 * q - std::fabs(tol1 * q);
        double m2 = std::fabs(e * q);
        if (w < m1 && w < m2) {
            s->step_before = s->step;
            *d = p / q;
            return word;
        }
    }
    *d = xm;
    s->step_before = *d;
    return word_halbierung;
}

// The step and the new b, where the pass evaluates f; its word waits in
// the report line.
static void prepare(method_state *s)
{
    double tol1, xm;
    tolerance(s, &tol1, &xm);
    double d;
    s->line.word = choose_step(s, tol1, xm, &d);
    s->step = d;
    s->a = s->b;
    s->fa = s->fb;
    if (std::fabs(d) > tol1)
        s->b = s->b + d;
    else if (xm > 0.0)
        s->b = s->b + tol1;
    else
        s->b = s->b - tol1;
    s->point = s->b;
}

static void take(method_state *s, double residual)
{
    double tol1, xm;
    int word = s->line.word;
    s->fb = residual;
    if ((s->fb > 0.0 && s->fc > 0.0) || (s->fb < 0.0 && s->fc < 0.0)) {
        s->c = s->a;
        s->fc = s->fa;
        s->step = s->b - s->a;
        s->step_before = s->step;
    }
    rotate(s);
    tolerance(s, &tol1, &xm);
    s->prev = s->est;
    s->est = s->b;
    ++s->n;
    if (std::fabs(xm) <= tol1)
        s->ending = ending_tolerance;
    else if (s->fb == 0.0)
        s->ending = ending_zero;
    else if (s->n == report_pass_limit)
        s->ending = ending_limit;
    double lower = s->c < s->b ? s->c : s->b;
    double upper = s->c < s->b ? s->b : s->c;
    s->line = {s->method, s->n, s->b, s->fb, lower, upper, word};
}

const method_def method_brent = {
    'B',       // letter
    "Brent",   // name
    "#330033", // colour
    shape_star,
    method_interval,
    METHOD_ENDS(ending_tolerance) | METHOD_ENDS(ending_zero) |
        METHOD_ENDS(ending_limit),
    report_ends_word,
    brent_words,
    lane_none,
    1, // its tolerance can end it in pass 1
    needs_bracket,
    "1.839", // its inverse quadratic steps; 1.618 by secant steps
    0,
    begin,
    prepare,
    take,
};
