// Bisection (Halbierung), the interval [lo, hi] halved every pass:
//
//   m = (lo + hi) / 2;  f(m) <= 0 ? lo = m : hi = m
//
// A residual of exactly 0 moves the lower end, a NaN the upper one; the
// interval is never tested for a sign change. The pass in two halves around
// f, for the method's record and for the map's lanes alike.
#ifndef SOLVER_BISECTION_H_
#define SOLVER_BISECTION_H_

#include "solver/method.h"
#include "solver/select.h"

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

#endif // SOLVER_BISECTION_H_
