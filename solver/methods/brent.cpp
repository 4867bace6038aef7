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

// Brent's state: b and its residual fb, c and fc (the other end), a and fa
// (the previous b), the step d and the one before e (zeroin's), and which
// step its last pass chose.
struct brent_state {
    double a, b, c, fa, fb, fc, d, e;
    int chosen;
};

enum { word_secant, word_quadratic, word_halbierung };
static const char *const brent_words[] = {"Sekante", "quadratisch",
                                          "Halbierung", nullptr};

// b the better of b and c: the one with the smaller residual.
static void rotate(brent_state *o)
{
    if (std::fabs(o->fc) < std::fabs(o->fb)) {
        o->a = o->b;
        o->b = o->c;
        o->c = o->a;
        o->fa = o->fb;
        o->fb = o->fc;
        o->fc = o->fa;
    }
}

static void tolerance(const brent_state *o, double *tol1, double *xm)
{
    double ab = std::fabs(o->b);
    *tol1 = 0x1p-51 * ab;
    double t = o->c - o->b;
    *xm = 0.5 * t;
}

static void begin(method_state *s, const method_start *start)
{
    brent_state o = {};
    o.a = start->a;
    o.b = start->b;
    o.fa = method_f(s, o.a);
    o.fb = method_f(s, o.b);
    o.c = o.a;
    o.fc = o.fa;
    o.d = o.b - o.a;
    o.e = o.d;
    rotate(&o);
    s->est = o.b;
    method_make(s, o);
}

// The step from b (zeroin's d), and which it is; e as the step asks.
static int choose_step(brent_state *o, double tol1, double xm, double *d)
{
    double e = o->e;
    if (std::fabs(e) >= tol1 && std::fabs(o->fa) > std::fabs(o->fb)) {
        double sb = o->fb / o->fa;
        double p, q;
        int word;
        if (o->a == o->c) {
            double t = 2.0 * xm;
            p = t * sb;
            q = 1.0 - sb;
            word = word_secant;
        } else {
            double q0 = o->fa / o->fc;
            double r = o->fb / o->fc;
            double t1 = 2.0 * xm;
            double t2 = t1 * q0;
            double t3 = q0 - r;
            double t4 = t2 * t3;
            double t5 = o->b - o->a;
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
            o->e = o->d;
            *d = p / q;
            return word;
        }
    }
    *d = xm;
    o->e = *d;
    return word_halbierung;
}

// The step and the new b, where the pass evaluates f.
static void prepare(method_state *s)
{
    brent_state *o = method_own<brent_state>(s);
    double tol1, xm;
    tolerance(o, &tol1, &xm);
    double d;
    o->chosen = choose_step(o, tol1, xm, &d);
    o->d = d;
    o->a = o->b;
    o->fa = o->fb;
    if (std::fabs(d) > tol1)
        o->b = o->b + d;
    else if (xm > 0.0)
        o->b = o->b + tol1;
    else
        o->b = o->b - tol1;
    s->point = o->b;
}

static constexpr method_stop stops[] = {{ending_tolerance, stop_tolerance},
                                        {ending_zero, stop_zero},
                                        {ending_limit, stop_limit}};

static int take(method_state *s, double residual)
{
    brent_state *o = method_own<brent_state>(s);
    o->fb = residual;
    if ((o->fb > 0.0 && o->fc > 0.0) || (o->fb < 0.0 && o->fc < 0.0)) {
        o->c = o->a;
        o->fc = o->fa;
        o->d = o->b - o->a;
        o->e = o->d;
    }
    rotate(o);
    double lower = o->c < o->b ? o->c : o->b;
    double upper = o->c < o->b ? o->b : o->c;
    stop_facts facts = {};
    facts.d = o->fb;
    facts.lo = lower;
    facts.hi = upper;
    return method_pass_done<METHOD_LIST(stops)>(
        s, o->b, {0, 0, o->b, o->fb, lower, upper, o->chosen}, &facts);
}

static const method_field fields[] = {
    METHOD_FIELD(brent_state, a, "A"), METHOD_FIELD(brent_state, fa, "V"),
    METHOD_FIELD(brent_state, b, "A"), METHOD_FIELD(brent_state, fb, "V"),
    METHOD_FIELD(brent_state, c, "A"), METHOD_FIELD(brent_state, fc, "V")};

const method_def method_brent = {
    'B',                // letter
    "Brent",            // name
    "#330033",          // colour
    {8, 0, 1, 0, 1, 3}, // mark: a star of four strokes
    method_interval,
    report_ends_word,
    0, // Delta at the new estimate
    brent_words,
    lane_none,
    1, // its tolerance can end it in pass 1
    needs_bracket,
    "1.839", // its inverse quadratic steps; 1.618 by secant steps
    0,
    METHOD_LIST(stops),
    sizeof(brent_state),
    METHOD_LIST(fields),
    begin,
    prepare,
    take,
    METHOD_NOTHING_DERIVED,
};
