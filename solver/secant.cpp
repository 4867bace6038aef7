// The secant method (S): regula falsi without its interval, always through
// the last two points:
//
//   r = (a * fb - b * fa) / (fb - fa);  a = b, fa = fb;  b = r, fb = f(r)
//
// It stops on a repeat, on a residual of exactly 0, when its last two
// residuals are equal (the next secant would be horizontal, its step a
// division by zero: the run ends with its last, finite estimate), or at the
// limit.
#include "solver/falsi.h"

static void take(method_state *s, double d)
{
    double r = s->point;
    s->a = s->b;
    s->fa = s->fb;
    s->b = r;
    s->fb = d;
    s->prev = s->est;
    s->est = r;
    ++s->n;
    s->ending = method_remedy_ending(s->n, s->n > 1 && r == s->prev, 1, d, 0,
                                     s->a, s->b);
    if ((s->ending == ending_none || s->ending == ending_limit) &&
        s->fa == s->fb) // never where either is not a number
        s->ending = ending_level;
    s->line = {s->method, s->n, r, d, s->a, s->b, 0};
}

const method_def method_sekante = {
    'S',                 // letter
    "Sekantenverfahren", // name
    "#3333dd",           // colour
    shape_pentagon,
    method_open,
    METHOD_ENDS(ending_repeat) | METHOD_ENDS(ending_zero) |
        METHOD_ENDS(ending_level) | METHOD_ENDS(ending_limit),
    report_plain,
    nullptr, // no words in its report
    lane_none,
    1, // a residual of 0 ends it in pass 1
    needs_points,
    "1.618", // (1 + sqrt 5) / 2
    0,
    falsi_begin, // the ends and their residuals, as regula falsi
    falsi_prepare,
    take,
};
