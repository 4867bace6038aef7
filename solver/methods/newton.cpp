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

#include "solver/methods/newton.h"

// Newton's state: the slope its last pass took at x.
struct newton_state {
    double slope;
};

static void begin(method_state *s, const method_start *start)
{
    s->est = start->x;
}

// Newton and G evaluate f where the pass starts.
static void prepare(method_state *s)
{
    s->point = s->est;
}

static constexpr method_stop stops[] = {{ending_repeat, stop_repeat},
                                        {ending_limit, stop_limit}};

static int take(method_state *s, double d)
{
    double x = s->point;
    newton_state *o = method_make(s, newton_state{method_dfdx(s, x)});
    double next = newton_step(x, d, o->slope);
    stop_facts facts = {};
    return method_pass_done<METHOD_LIST(stops)>(
        s, next, {0, 0, next, d, 0.0, 0.0, 0}, &facts);
}

// Where the tangent at the pass's point meets the axis: Newton's x', the
// guarded Newton's point before its rules.
static const method_field tangent_derived[] = {{"tangentZero", "A", 0, 0}};
template <typename T>
static void tangent_derive(const method_state *before,
                           const method_state *after, double *values)
{
    (void)before;
    const T *o = method_own<T>(after);
    double q = after->line.delta / o->slope;
    values[0] = o->slope != 0.0 ? after->point - q : 0.0;
}

static const method_field fields[] = {METHOD_FIELD(newton_state, slope, "V/A")};

const method_def method_newton = {
    'N',       // letter
    "Newton",  // name
    "#009e73", // colour: blue, orange, bluish green (Okabe and Ito)
    {4, -90, 1.15, 1, 0, 13}, // mark: a filled diamond
    method_open,
    report_plain,
    1,       // Delta where the pass started
    nullptr, // no words in its report
    lane_newton,
    2, // a repeat needs two passes
    needs_x,
    "2",
    0,
    METHOD_LIST(stops),
    sizeof(newton_state),
    METHOD_LIST(fields),
    begin,
    prepare,
    take,
    METHOD_LIST(tangent_derived),
    tangent_derive<newton_state>,
};

// G's state: the interval, the slope its last pass took, the length h of
// the last step and e of the one before, and which of its rules put the
// midpoint in place of Newton's point (bits: 1 that point lay not strictly
// inside the interval, 2 its step was too long; 0 none).
struct guarded_state {
    double a, b;
    double slope;
    double h, e;
    int rule;
};
enum { word_newton, word_halbierung };
static const char *const guarded_words[] = {"Newton", "Halbierung", nullptr};

static void guarded_begin(method_state *s, const method_start *start)
{
    s->est = start->x;
    double t = start->b - start->a;
    double width = std::fabs(t);
    method_make(s, guarded_state{start->a, start->b, 0.0, width, width, 0});
}

static int strictly_between(double x, double a, double b)
{
    return (a < x && x < b) || (b < x && x < a);
}

static constexpr method_stop guarded_stops[] = {
    {ending_repeat, stop_unmoved},
    {ending_neighbours, stop_neighbours},
    {ending_limit, stop_limit}};

static int guarded_take(method_state *s, double d)
{
    guarded_state *o = method_own<guarded_state>(s);
    double x = s->point;
    o->slope = method_dfdx(s, x);
    if (d < 0.0)
        o->a = x;
    else
        o->b = x;
    double q = d / o->slope;
    double next = x - q;
    int word = word_newton;
    double aq = std::fabs(q);
    double twice = 2.0 * aq;
    int outside = !strictly_between(next, o->a, o->b);
    int too_long = twice > o->e;
    o->rule = next == x ? 0 : outside | too_long << 1;
    if (o->rule != 0) {
        double t = o->a + o->b;
        next = t / 2.0;
        word = word_halbierung;
    }
    double t = next - x;
    o->e = o->h;
    o->h = std::fabs(t);
    stop_facts facts = {};
    facts.lo = o->a;
    facts.hi = o->b;
    // prev: x, where the pass started
    return method_pass_done<METHOD_LIST(guarded_stops)>(
        s, next, {0, 0, next, d, o->a, o->b, word}, &facts);
}

static const method_field guarded_fields[] = {
    METHOD_FIELD(guarded_state, a, "A"), METHOD_FIELD(guarded_state, b, "A"),
    METHOD_FIELD(guarded_state, slope, "V/A"),
    METHOD_FIELD(guarded_state, e, "A"), METHOD_FIELD(guarded_state, rule, "")};

const method_def method_newton_intervall = {
    'G',                      // letter
    "Newton mit Intervall",   // name
    "#88bb66",                // colour
    {5, -90, 1.15, 0, 0, 14}, // mark: an open pentagon
    method_interval,
    report_ends_word,
    1, // Delta where the pass started
    guarded_words,
    lane_none,
    1, // x' = x ends it in pass 1
    needs_bracket | needs_x,
    "2", // Newton's steps near the root
    0,
    METHOD_LIST(guarded_stops),
    sizeof(guarded_state),
    METHOD_LIST(guarded_fields),
    guarded_begin,
    prepare,
    guarded_take,
    METHOD_LIST(tangent_derived),
    tangent_derive<guarded_state>,
};
