// Bisection's record: it starts from the interval and reports the midpoint
// and its residual; it stops on a repeat or at the limit.
#include "solver/bisection.h"

static void begin(method_state *s, const method_start *start)
{
    s->a = start->a;
    s->b = start->b;
}

static void prepare(method_state *s)
{
    s->point = bisection_point(s->a, s->b);
}

static void take(method_state *s, double d)
{
    double m = s->point;
    bisection_move(m, d, &s->a, &s->b);
    if (method_advance(&s->n, m, &s->est, &s->prev))
        s->ending = method_repeat_ending(s->n, s->est, s->prev);
    s->line = {s->method, s->n, m, d, s->a, s->b, 0};
}

const method_def method_halbierung = {
    'H',          // letter
    "Halbierung", // name
    "#0072b2",    // colour: blue, orange, bluish green (Okabe and Ito)
    shape_circle,
    method_interval,
    METHOD_ENDS(ending_repeat) | METHOD_ENDS(ending_limit),
    report_plain,
    nullptr, // no words in its report
    lane_bisection,
    2, // a repeat needs two passes
    needs_bracket,
    "1", // linear: the interval halves every pass
    1,   // measured on the interval's width
    begin,
    prepare,
    take,
};
