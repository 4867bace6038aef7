// Regula falsi and the variants that do not stay stuck: Illinois, Pegasus
// and Anderson-Bjoerck. All start from the interval and the residuals at
// its ends, and report the intersection, its residual and the ends after
// the pass. Regula falsi stops on a repeat or at the limit.
//
// The variants: when the same end moves in two passes in a row, the
// residual kept for the other end is scaled down, so that the next
// intersection moves past the root; with old the moving end's residual
// before the pass and d its new one, the kept residual k becomes
//
//   Illinois:          k = k * 0.5
//   Pegasus:           k = k * (old / (old + d))
//   Anderson-Bjoerck:  k = k * m,  m = 1 - d / old, or 0.5 unless m > 0
//
// They stop on a repeat, a residual of exactly 0, an interval without a
// double inside, or at the limit.
#include "solver/methods/falsi.h"

#include <cmath>

#include "solver/equation.h"

const method_field falsi_fields[4] = {
    METHOD_FIELD(falsi_state, a, "A"), METHOD_FIELD(falsi_state, fa, "V"),
    METHOD_FIELD(falsi_state, b, "A"), METHOD_FIELD(falsi_state, fb, "V")};

void falsi_begin(method_state *s, const method_start *start)
{
    double fa = method_f(s, start->a);
    double fb = method_f(s, start->b);
    method_make(s, falsi_state{start->a, start->b, fa, fb});
}

void falsi_prepare(method_state *s)
{
    const falsi_state *o = method_own<falsi_state>(s);
    s->point = regula_falsi_point(o->a, o->b, o->fa, o->fb);
}

static constexpr method_stop falsi_stops[] = {{ending_repeat, stop_repeat},
                                              {ending_limit, stop_limit}};

static int take(method_state *s, double d)
{
    falsi_state *o = method_own<falsi_state>(s);
    double x = s->point;
    regula_falsi_move(x, d, &o->a, &o->b, &o->fa, &o->fb);
    stop_facts facts = {};
    return method_pass_done<METHOD_LIST(falsi_stops)>(
        s, x, {0, 0, x, d, o->a, o->b, 0}, &facts);
}

// The variants' state: first the ends as regula falsi keeps them (so that
// its begin and prepare serve them too), then the end that moved in the
// pass before (side), the end whose residual the last pass scaled (scaled)
// and by what factor (all: 0 none, 1 a, 2 b).
struct scaled_state {
    falsi_state ends;
    int side, scaled;
    double factor;
};
static_assert(offsetof(scaled_state, ends) == 0,
              "regula falsi's state begins the variants'");
enum { side_none, side_lower, side_upper };
enum scaling { by_illinois, by_pegasus, by_anderson_bjoerck };

// The factor m that scales the kept residual k = k * m.
static double scale_factor(enum scaling how, double old, double d)
{
    if (how == by_illinois)
        return 0.5;
    if (how == by_pegasus) {
        double s = old + d;
        return old / s;
    }
    double q = d / old;
    double m = 1.0 - q;
    return m > 0.0 ? m : 0.5;
}

static constexpr method_stop scaled_stops[] = {
    {ending_repeat, stop_repeat},
    {ending_zero, stop_zero},
    {ending_neighbours, stop_neighbours},
    {ending_limit, stop_limit}};

static int scaled_take(method_state *s, double d, enum scaling how)
{
    scaled_state *o = method_own<scaled_state>(s);
    falsi_state *e = &o->ends;
    double r = s->point;
    // The end that moves (a where d < 0, else b) and the one kept.
    int lower = d < 0.0;
    int moved = lower ? side_lower : side_upper;
    double *end = lower ? &e->a : &e->b;
    double *residual = lower ? &e->fa : &e->fb;
    double *kept = lower ? &e->fb : &e->fa;
    double old = *residual;
    *end = r;
    *residual = d;
    o->scaled = side_none;
    if (o->side == moved) {
        o->factor = scale_factor(how, old, d);
        *kept = *kept * o->factor;
        o->scaled = lower ? side_upper : side_lower;
    }
    o->side = moved;
    stop_facts facts = {};
    facts.d = d;
    facts.lo = e->a;
    facts.hi = e->b;
    return method_pass_done<METHOD_LIST(scaled_stops)>(
        s, r, {0, 0, r, d, e->a, e->b, 0}, &facts);
}

static int illinois(method_state *s, double d)
{
    return scaled_take(s, d, by_illinois);
}

static int pegasus(method_state *s, double d)
{
    return scaled_take(s, d, by_pegasus);
}

static int anderson_bjoerck(method_state *s, double d)
{
    return scaled_take(s, d, by_anderson_bjoerck);
}

// (fb - fa) / (b - a): the slope of the secant through (a, fa), (b, fb).
static double secant_slope(double a, double fa, double b, double fb)
{
    double rise = fb - fa;
    double run = b - a;
    return rise / run;
}

// What a scaled pass does to the next secant: where it meets the axis
// without the scaling, its slope with the scaling and without (NaN where
// the pass scaled nothing).
static const method_field scaled_derived[] = {{"unscaledPoint", "A", 0, 0},
                                              {"nextSlope", "V/A", 0, 0},
                                              {"unscaledSlope", "V/A", 0, 0}};
static void scaled_derive(const method_state *before, const method_state *after,
                          double *values)
{
    const scaled_state *o = method_own<scaled_state>(after);
    const falsi_state *was = &method_own<scaled_state>(before)->ends;
    const falsi_state *e = &o->ends;
    // The residual the scaled end kept before the scaling.
    double fa = o->scaled == side_lower ? was->fa : e->fa;
    double fb = o->scaled == side_upper ? was->fb : e->fb;
    double none = std::nan("");
    values[0] = o->scaled ? regula_falsi_point(e->a, e->b, fa, fb) : none;
    values[1] = secant_slope(e->a, e->fa, e->b, e->fb);
    values[2] = o->scaled ? secant_slope(e->a, fa, e->b, fb) : none;
}

// The variants' values for the page: the ends by regula falsi's names.
#define SCALED_FIELD(name, member, unit)                                       \
    {                                                                          \
        name, unit, offsetof(scaled_state, member),                            \
            std::is_integral<decltype(scaled_state::member)>::value            \
    }
static const method_field scaled_fields[] = {
    SCALED_FIELD("a", ends.a, "A"),     SCALED_FIELD("fa", ends.fa, "V"),
    SCALED_FIELD("b", ends.b, "A"),     SCALED_FIELD("fb", ends.fb, "V"),
    SCALED_FIELD("scaled", scaled, ""), SCALED_FIELD("factor", factor, "")};

const method_def method_regula_falsi = {
    'R',                   // letter
    "Regula falsi",        // name
    "#e69f00",             // colour: blue, orange, bluish green (Okabe and Ito)
    {4, 45, 1.2, 1, 0, 5}, // mark: a filled square
    method_interval,
    report_ends,
    0,       // Delta at the new estimate
    nullptr, // no words in its report
    lane_falsi,
    2, // a repeat needs two passes
    needs_bracket,
    "1", // linear once one end stays
    0,
    METHOD_LIST(falsi_stops),
    sizeof(falsi_state),
    METHOD_LIST(falsi_fields),
    falsi_begin,
    falsi_prepare,
    take,
    METHOD_NOTHING_DERIVED,
};

// The variants differ in their name, colour, mark, order and pass; their
// marks are regula falsi's square and the circle and diamond, open.
static constexpr method_mark open_circle = {0, 0, 1, 0, 0, 6};
static constexpr method_mark open_square = {4, 45, 1.2, 0, 0, 4};
static constexpr method_mark open_diamond = {4, -90, 1.15, 0, 0, 12};

#define SCALED_VARIANT(record, letter, name, colour, mark, order, take)        \
    const method_def record = {letter,                                         \
                               name,                                           \
                               colour,                                         \
                               mark,                                           \
                               method_interval,                                \
                               report_ends,                                    \
                               0,                                              \
                               nullptr,                                        \
                               lane_none,                                      \
                               1, /* a residual of 0 ends it in pass 1 */      \
                               needs_bracket,                                  \
                               order,                                          \
                               0,                                              \
                               METHOD_LIST(scaled_stops),                      \
                               sizeof(scaled_state),                           \
                               METHOD_LIST(scaled_fields),                     \
                               falsi_begin,                                    \
                               falsi_prepare,                                  \
                               take,                                           \
                               METHOD_LIST(scaled_derived),                    \
                               scaled_derive};

// Orders: 3^(1/3) (Dowell and Jarratt, 1971); 1.642 (Dowell and Jarratt,
// 1972); about 1.7 (Anderson and Bjoerck, 1973).
SCALED_VARIANT(method_illinois, 'I', "Illinois", "#882222", open_circle,
               "1.442", illinois)
SCALED_VARIANT(method_pegasus, 'P', "Pegasus", "#aa6600", open_square, "1.642",
               pegasus)
SCALED_VARIANT(method_anderson_bjoerck, 'A', "Anderson-Bjoerck", "#dd99cc",
               open_diamond, "1.7", anderson_bjoerck)
