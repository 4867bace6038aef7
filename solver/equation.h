// The mesh equation of a voltage source U driving a resistor R in series
// with a diode of saturation current I_S, and its slope in the current I:
//
//   f(I)  = (U_T * ln(I / I_S + 1) + R * I) - U,   U_T = 0.026 V
//   f'(I) = U_T / (I + I_S) + R
//
// Each step is one rounded binary64 operation in the order written (every
// target builds with -ffp-contract=off), so residuals are exact and the
// same wherever they are computed.
#ifndef SOLVER_EQUATION_H_
#define SOLVER_EQUATION_H_

#include <cmath>

static const double thermal_voltage = 0.026; // U_T in volts

// The residual in two halves around its logarithm, so that a caller can
// take the logarithms of several circuits back to back: the argument of
// the logarithm, then the residual from it.
inline double f_log_argument(double i, double i_s)
{
    double q = i / i_s;
    return q + 1.0;
}

inline double f_from_log(double u, double r, double i, double l)
{
    double t = r * i;
    double ul = thermal_voltage * l;
    double sum = ul + t;
    return sum - u;
}

// Residual of the mesh equation at current i, in volts.
inline double f(double u, double r, double i_s, double i)
{
    return f_from_log(u, r, i, std::log(f_log_argument(i, i_s)));
}

// Slope of f with respect to i, in ohms; u does not enter it.
inline double dfdx(double u, double r, double i_s, double i)
{
    (void)u;
    double s = i + i_s;
    double q = thermal_voltage / s;
    return q + r;
}

#endif // SOLVER_EQUATION_H_
