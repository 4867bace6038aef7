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
#include "solver/falsi.h"

#include "solver/equation.h"

void falsi_begin(method_state *s, const method_start *start)
{
    s->a = start->a;
    s->b = start->b;
    s->fa = f(s->u, s->r, s->i_s, s->a);
    s->fb = f(s->u, s->r, s->i_s, s->b);
}

void falsi_prepare(method_state *s)
{
    s->point = regula_falsi_point(s->a, s->b, s->fa, s->fb);
}

static void take(method_state *s, double d)
{
    double x = s->point;
    regula_falsi_move(x, d, &s->a, &s->b, &s->fa, &s->fb);
    if (method_advance(&s->n, x, &s->est, &s->prev))
        s->ending = method_repeat_ending(s->n, s->est, s->prev);
    s->line = {s->method, s->n, x, d, s->a, s->b, 0};
}

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

static void scaled_take(method_state *s, double d, enum scaling how)
{
    double r = s->point;
    s->scaled = side_none;
    if (d < 0.0) {
        double old = s->fa;
        s->a = r;
        s->fa = d;
        if (s->side == side_lower) {
            s->factor = scale_factor(how, old, d);
            s->fb = s->fb * s->factor;
            s->scaled = side_upper;
        }
        s->side = side_lower;
    } else {
        double old = s->fb;
        s->b = r;
        s->fb = d;
        if (s->side == side_upper) {
            s->factor = scale_factor(how, old, d);
            s->fa = s->fa * s->factor;
            s->scaled = side_lower;
        }
        s->side = side_upper;
    }
    s->prev = s->est;
    s->est = r;
    ++s->n;
    s->ending = method_remedy_ending(s->n, s->n > 1 && r == s->prev, 1, d, 1,
                                     s->a, s->b);
    s->line = {s->method, s->n, r, d, s->a, s->b, 0};
}

static void illinois(method_state *s, double d)
{
    scaled_take(s, d, by_illinois);
}

static void pegasus(method_state *s, double d)
{
    scaled_take(s, d, by_pegasus);
}

static void anderson_bjoerck(method_state *s, double d)
{
    scaled_take(s, d, by_anderson_bjoerck);
}

const method_def method_regula_falsi = {
    'R',            // letter
    "Regula falsi", // name
    "#e69f00",      // colour: blue, orange, bluish green (Okabe and Ito)
    shape_square,
    method_interval,
    METHOD_ENDS(ending_repeat) | METHOD_ENDS(ending_limit),
    report_ends,
    nullptr, // no words in its report
    lane_falsi,
    2, // a repeat needs two passes
    needs_bracket,
    "1", // linear once one end stays
    0,
    falsi_begin,
    falsi_prepare,
    take,
};

const method_def method_illinois = {
    'I',        // letter
    "Illinois", // name
    "#882222",  // colour
    shape_open_circle,
    method_interval,
    METHOD_ENDS(ending_repeat) | METHOD_ENDS(ending_zero) |
        METHOD_ENDS(ending_neighbours) | METHOD_ENDS(ending_limit),
    report_ends,
    nullptr, // no words in its report
    lane_none,
    1, // a residual of 0 ends it in pass 1
    needs_bracket,
    "1.442", // 3^(1/3): Dowell and Jarratt, 1971
    0,
    falsi_begin,
    falsi_prepare,
    illinois,
};

const method_def method_pegasus = {
    'P',       // letter
    "Pegasus", // name
    "#aa6600", // colour
    shape_open_square,
    method_interval,
    METHOD_ENDS(ending_repeat) | METHOD_ENDS(ending_zero) |
        METHOD_ENDS(ending_neighbours) | METHOD_ENDS(ending_limit),
    report_ends,
    nullptr, // no words in its report
    lane_none,
    1, // a residual of 0 ends it in pass 1
    needs_bracket,
    "1.642", // Dowell and Jarratt, 1972
    0,
    falsi_begin,
    falsi_prepare,
    pegasus,
};

const method_def method_anderson_bjoerck = {
    'A',                // letter
    "Anderson-Bjoerck", // name
    "#dd99cc",          // colour
    shape_open_diamond,
    method_interval,
    METHOD_ENDS(ending_repeat) | METHOD_ENDS(ending_zero) |
        METHOD_ENDS(ending_neighbours) | METHOD_ENDS(ending_limit),
    report_ends,
    nullptr, // no words in its report
    lane_none,
    1, // a residual of 0 ends it in pass 1
    needs_bracket,
    "1.7", // Anderson and Bjoerck, 1973
    0,
    falsi_begin,
    falsi_prepare,
    anderson_bjoerck,
};
