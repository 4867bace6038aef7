// Newton's method and Newton kept inside an interval. Both start from x and
// report the new estimate beside the residual at the estimate the pass
// started from. Newton stops on a repeat or at the limit.
//
// Newton kept inside an interval (G) narrows [a, b] by the residual's sign
// at x (d < 0 moves a, else b) and takes Newton's step x' = x - d / s,
// unless x' differs from x and lies not strictly between a and b, or the
// step is more than half the step before the last (2 |q| > e): then
// x' = (a + b) / 2. It reports the ends after the pass and which step gave
// x', and stops when x' = x, when no double lies between a and b, or at
// the limit.
#include <cmath>

#include "solver/newton.h"

static void begin(method_state *s, const method_start *start)
{
    s->est = start->x;
}

// Newton and G evaluate f where the pass starts.
static void prepare(method_state *s)
{
    s->point = s->est;
}

static void take(method_state *s, double d)
{
    double x = s->point;
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
    shape_diamond,
    method_open,
    METHOD_ENDS(ending_repeat) | METHOD_ENDS(ending_limit),
    report_plain,
    nullptr, // no words in its report
    lane_newton,
    2, // a repeat needs two passes
    needs_x,
    "2",
    0,
    begin,
    prepare,
    take,
};

enum { word_newton, word_halbierung };
static const char *const guarded_words[] = {"Newton", "Halbierung", nullptr};

static void guarded_begin(method_state *s, const method_start *start)
{
    s->a = start->a;
    s->b = start->b;
    s->est = start->x;
    double t = s->b - s->a;
    s->step_before = std::fabs(t);
    s->step = s->step_before;
}

static int strictly_between(double x, double a, double b)
{
    return (a < x && x < b) || (b < x && x < a);
}

static void guarded_take(method_state *s, double d)
{
    double x = s->point;
    double slope = dfdx(s->u, s->r, s->i_s, x);
    s->slope = slope;
    if (d < 0.0)
        s->a = x;
    else
        s->b = x;
    double q = d / slope;
    double next = x - q;
    int word = word_newton;
    double aq = std::fabs(q);
    double twice = 2.0 * aq;
    int outside = !strictly_between(next, s->a, s->b);
    int too_long = twice > s->step_before;
    s->rule = next == x ? 0 : outside | too_long << 1;
    if (s->rule != 0) {
        double t = s->a + s->b;
        next = t / 2.0;
        word = word_halbierung;
    }
    double t = next - x;
    s->step_before = s->step;
    s->step = std::fabs(t);
    s->prev = x;
    s->est = next;
    ++s->n;
    s->ending = method_remedy_ending(s->n, next == x, 0, d, 1, s->a, s->b);
    s->line = {s->method, s->n, next, d, s->a, s->b, word};
}

const method_def method_newton_intervall = {
    'G',                    // letter
    "Newton mit Intervall", // name
    "#88bb66",              // colour
    shape_open_pentagon,
    method_interval,
    METHOD_ENDS(ending_repeat) | METHOD_ENDS(ending_neighbours) |
        METHOD_ENDS(ending_limit),
    report_ends_word,
    guarded_words,
    lane_none,
    1, // x' = x ends it in pass 1
    needs_bracket | needs_x,
    "2", // Newton's steps near the root
    0,
    guarded_begin,
    prepare,
    guarded_take,
};
