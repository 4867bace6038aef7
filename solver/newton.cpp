// Newton's record: it starts from x and reports the new estimate beside the
// residual at the estimate its pass started from; it stops on a repeat or
// at the limit.
#include "solver/newton.h"

static void begin(method_state *s, const method_start *start)
{
    s->est = start->x;
}

static void pass(method_state *s)
{
    double x = s->est;
    double d = f(s->u, s->r, s->i_s, x);
    s->point = x;
    s->slope = dfdx(s->u, s->r, s->i_s, x);
    double next = newton_step(x, d, s->slope);
    if (method_advance(&s->n, next, &s->est, &s->prev))
        s->ending = method_repeat_ending(s->n, s->est, s->prev);
    s->line = {s->method, s->n, next, d, s->a, s->b, 0};
}

const method_def method_newton = {
    'N',       // letter
    "Newton",  // name
    "#009e73", // colour: blue, orange, bluish green (Okabe and Ito)
    method_open, report_plain,
    nullptr, // no words in its report
    lane_newton,
    2, // a repeat needs two passes
    begin,       pass,
};
