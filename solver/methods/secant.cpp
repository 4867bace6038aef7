// The secant method (S): regula falsi without its interval, always through
// the last two points:
//
//   r = (a * fb - b * fa) / (fb - fa);  a = b, fa = fb;  b = r, fb = f(r)
//
// It stops on a repeat, on a residual of exactly 0, when its last two
// residuals are equal (the next secant would be horizontal, its step a
// division by zero: the run ends with its last, finite estimate), or at the
// limit. Its state is regula falsi's: the last two points.
#include "solver/methods/falsi.h"

static constexpr method_stop stops[] = {{ending_repeat, stop_repeat},
                                        {ending_zero, stop_zero},
                                        {ending_level, stop_level},
                                        {ending_limit, stop_limit}};

static int take(method_state *s, double d)
{
    falsi_state *o = method_own<falsi_state>(s);
    double r = s->point;
    o->a = o->b;
    o->fa = o->fb;
    o->b = r;
    o->fb = d;
    stop_facts facts = {};
    facts.d = d;
    facts.fa = o->fa;
    facts.fb = o->fb;
    return method_pass_done<METHOD_LIST(stops)>(
        s, r, {0, 0, r, d, o->a, o->b, 0}, &facts);
}

const method_def method_sekante = {
    'S',                      // letter
    "Sekantenverfahren",      // name
    "#3333dd",                // colour
    {5, -90, 1.15, 1, 0, 15}, // mark: a filled pentagon
    method_open,
    report_plain,
    0,       // Delta at the new estimate
    nullptr, // no words in its report
    lane_none,
    1, // a residual of 0 ends it in pass 1
    needs_points,
    "1.618", // (1 + sqrt 5) / 2
    0,
    METHOD_LIST(stops),
    sizeof(falsi_state),
    METHOD_LIST(falsi_fields),
    falsi_begin, // the ends and their residuals, as regula falsi
    falsi_prepare,
    take,
    METHOD_NOTHING_DERIVED,
};
