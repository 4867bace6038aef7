// Regula falsi's record: it starts from the interval and the residuals at
// its ends, and reports the intersection, its residual and the ends after
// the pass; it stops on a repeat or at the limit.
#include "solver/falsi.h"

#include "solver/equation.h"

static void begin(method_state *s, const method_start *start)
{
    s->a = start->a;
    s->b = start->b;
    s->fa = f(s->u, s->r, s->i_s, s->a);
    s->fb = f(s->u, s->r, s->i_s, s->b);
}

static void pass(method_state *s)
{
    double x = regula_falsi_point(s->a, s->b, s->fa, s->fb);
    double d = f(s->u, s->r, s->i_s, x);
    s->point = x;
    regula_falsi_move(x, d, &s->a, &s->b, &s->fa, &s->fb);
    if (method_advance(&s->n, x, &s->est, &s->prev))
        s->ending = method_repeat_ending(s->n, s->est, s->prev);
    s->line = {s->method, s->n, x, d, s->a, s->b, 0};
}

const method_def method_regula_falsi = {
    'R',            // letter
    "Regula falsi", // name
    "#e69f00",      // colour: blue, orange, bluish green (Okabe and Ito)
    method_interval,
    report_ends,
    nullptr, // no words in its report
    lane_falsi,
    2, // a repeat needs two passes
    begin,
    pass,
};
