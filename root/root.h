// The true root I* of the mesh equation, U_T ln(I / I_S + 1) + R I - U = 0,
// in real arithmetic from the doubles U, R, I_S and U_T (the double nearest
// 0.026), and the measures of an estimate against it. I* exists when U, R
// and I_S are finite, R > 0 and I_S > 0; it lies in (0, U / R) for U > 0,
// in (-I_S, 0) for U < 0, and is 0 for U = 0.
//
// It is found as y* = ln(I* / I_S + 1), the root of the increasing, convex
//
//   phi(y) = U_T y + R I_S (e^y - 1) - U,
//
// by Newton's method from the right (where it converges monotonically), in
// wide numbers (root/wide.h) to about 240 bits; then I* = I_S (e^y* - 1).
#ifndef ROOT_ROOT_H_
#define ROOT_ROOT_H_

#include <cstddef>
#include <cstdint>

#include "root/wide.h"

struct true_root {
    int exists;     // 0: no root (then nothing else is set)
    wide value;     // I*
    double nearest; // the double nearest I* (inf beyond the doubles)
    wide ulp;       // the gap from |I*| to the next larger double, 2^ulp_exp
    int64_t ulp_exp;
};

void root_find(double u, double r, double i_s, true_root *root);

// I* with digits significant decimal digits, as wide_digits() writes it.
char *root_digits_text(const true_root *root, int digits, char *buf,
                       size_t size);

// The measures of an estimate x: its error x - I*, its distance in units
// of ulp(I*), its correct digits -log10(|x - I*| / |I*|) (inf where x is
// I*, NaN where I* is 0), each rounded to a double; NaN where x is not.
double root_error(const true_root *root, double x);
double root_ulps(const true_root *root, double x);
double root_correct_digits(const true_root *root, double x);

// The residual f(x) = U_T ln(x / I_S + 1) + R x - U in real arithmetic
// (its double constants taken exactly), rounded from 256 bits: the curve
// that f's rounded steps follow. Within one ulp of the correctly rounded
// value (it may differ where a term below 2^-256 of R x - U decides a tie).
// NaN where x is not finite or x <= -I_S, or I_S is not positive.
double root_exact_residual(double u, double r, double i_s, double x);

// The observed order of convergence at estimate k of xs[0..n) (0 < k <
// n - 1): ln(e[k+1] / e[k]) / ln(e[k] / e[k-1]) with e the absolute errors,
// where all three are finite, above 16 ulps of I* and not 0; else NaN.
double root_order(const true_root *root, const double *xs, int n, int k);

// The median of the orders defined in xs[0..n) (of two in the middle,
// their mean), or NaN when none is.
double root_median_order(const true_root *root, const double *xs, int n);

// The mean factor by which the error shrinks a pass in xs[0..n): the
// geometric mean of e[k+1] / e[k] from the first to the last error that
// counts for an order (finite, not 0, above 16 ulps of I*); NaN where
// fewer than two count.
double root_rate(const true_root *root, const double *xs, int n);

#endif // ROOT_ROOT_H_
