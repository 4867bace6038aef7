// Regula falsi, the secant through the interval's ends (a, fa), (b, fb):
//
//   r = (a * fb - b * fa) / (fb - fa);  f(r) < 0 ? a = r : b = r
//
// A residual of exactly 0 or NaN moves the upper end; the ends are never
// tested for a sign change. Its state, and the pass in two halves around
// f, for the method's record and for the map's lanes alike.
#ifndef SOLVER_METHODS_FALSI_H_
#define SOLVER_METHODS_FALSI_H_

#include "solver/method.h"
#include "solver/select.h"

// The ends and their residuals: regula falsi's state, and the secant
// method's (its last two points).
struct falsi_state {
    double a, b, fa, fb;
};

inline double regula_falsi_point(double a, double b, double fa, double fb)
{
    double p1 = a * fb;
    double p2 = b * fa;
    double num = p1 - p2;
    double den = fb - fa;
    return num / den;
}

inline void regula_falsi_move(double x, double d, double *a, double *b,
                              double *fa, double *fb)
{
    int below = d < 0.0; // zero and NaN move the upper end
    *a = solver_select(below, x, *a);
    *fa = solver_select(below, d, *fa);
    *b = solver_select(below, *b, x);
    *fb = solver_select(below, *fb, d);
}

// The start and the first half of a pass that regula falsi, its variants
// and the secant method share, on the falsi_state that begins theirs: the
// ends and their residuals; the point.
void falsi_begin(method_state *s, const method_start *start);
void falsi_prepare(method_state *s);

// The values of falsi_state that the page shows.
extern const method_field falsi_fields[4];

#endif // SOLVER_METHODS_FALSI_H_
