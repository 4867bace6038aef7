// Newton's method, the tangent at x:
//
//   x' = x - f(x) / f'(x)
//
// with no safeguard against a zero or not-a-number slope and no damping.
// The step from x and its residual d, for the method's record and for the
// map's lanes alike.
#ifndef SOLVER_METHODS_NEWTON_H_
#define SOLVER_METHODS_NEWTON_H_

#include "solver/equation.h"
#include "solver/method.h"

inline double newton_step(double x, double d, double slope)
{
    double step = d / slope;
    return x - step;
}

inline double newton_next(double u, double r, double i_s, double x, double d)
{
    return newton_step(x, d, dfdx(u, r, i_s, x));
}

#endif // SOLVER_METHODS_NEWTON_H_
