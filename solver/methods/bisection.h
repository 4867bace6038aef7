// Bisection (Halbierung), the interval [lo, hi] halved every pass:
//
//   m = (lo + hi) / 2;  f(m) <= 0 ? lo = m : hi = m
//
// A residual of exactly 0 moves the lower end, a NaN the upper one; the
// interval is never tested for a sign change. Its state, and the pass in
// two halves around f, for the method's record and the map's lanes alike.
#ifndef SOLVER_METHODS_BISECTION_H_
#define SOLVER_METHODS_BISECTION_H_

#include "solver/method.h"
#include "solver/select.h"

// The ends of the interval, lo and hi.
struct bisection_state {
    double a, b;
};

inline double bisection_point(double lo, double hi)
{
    double sum = lo + hi;
    return sum / 2.0;
}

inline void bisection_move(double m, double d, double *lo, double *hi)
{
    int down = d <= 0.0; // zero moves the lower end, NaN the upper
    *lo = solver_select(down, m, *lo);
    *hi = solver_select(down, *hi, m);
}

#endif // SOLVER_METHODS_BISECTION_H_
