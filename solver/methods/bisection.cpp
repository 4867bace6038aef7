// Bisection's record: it starts from the interval and reports the midpoint
// and its residual; it stops on a repeat or at the limit.
#include "solver/methods/bisection.h"

static void begin(method_state *s, const method_start *start)
{
    method_make(s, bisection_state{start->a, start->b});
}

static void prepare(method_state *s)
{
    const bisection_state *o = method_own<bisection_state>(s);
    s->point = bisection_point(o->a, o->b);
}

static constexpr method_stop stops[] = {{ending_repeat, stop_repeat},
                                        {ending_limit, stop_limit}};

static int take(method_state *s, double d)
{
    bisection_state *o = method_own<bisection_state>(s);
    double m = s->point;
    bisection_move(m, d, &o->a, &o->b);
    stop_facts facts = {};
    return method_pass_done<METHOD_LIST(stops)>(
        s, m, {0, 0, m, d, o->a, o->b, 0}, &facts);
}

static const method_field fields[] = {METHOD_FIELD(bisection_state, a, "A"),
                                      METHOD_FIELD(bisection_state, b, "A")};

const method_def method_halbierung = {
    'H',                // letter
    "Halbierung",       // name
    "#0072b2",          // colour: blue, orange, bluish green (Okabe and Ito)
    {0, 0, 1, 1, 0, 7}, // mark: a filled circle
    method_interval,
    report_plain,
    0,       // Delta at the new estimate
    nullptr, // no words in its report
    lane_bisection,
    2, // a repeat needs two passes
    needs_bracket,
    "1", // linear: the interval halves every pass
    1,   // measured on the interval's width
    METHOD_LIST(stops),
    sizeof(bisection_state),
    METHOD_LIST(fields),
    begin,
    prepare,
    take,
    METHOD_NOTHING_DERIVED,
};
