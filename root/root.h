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

// The observed order of convergence, from the measures m[0..n) of a run's
// passes: the absolute errors |x - I*| (root_errors), or for bisection the
// widths of its interval. A measure counts where it is finite, not 0 and
// more than root_noise_ulps ulps of I*: clearly above the rounding noise.
enum { root_noise_ulps = 1024 };

// |x - I*| of each of the n estimates xs, into ms (NaN where x is not
// finite).
void root_errors(const true_root *root, const double *xs, int n, double *ms);

// Whether measure m counts for an order.
int root_counts(const true_root *root, double m);

// The order at pass k (0 < k < n - 1): ln(m[k+1] / m[k]) / ln(m[k] /
// m[k-1]) where the three count and decrease, m[k+1] < m[k] < m[k-1];
// else NaN.
double root_order(const true_root *root, const double *ms, int n, int k);

// The order at pass k where it is confirmed: an order at a neighbouring
// pass (k - 1 or k + 1) agrees with it to within a tenth of the larger of
// the two; else NaN. Orders of passes that do not agree (a method whose
// steps alternate in kind, a stall) say nothing and are not shown.
double root_order_confirmed(const true_root *root, const double *ms, int n,
                            int k);

// The run's observed order: the mean of the orders at the last two
// neighbouring passes that agree (as above); NaN, "nicht bestimmbar",
// where none do. Where at is not null, *at is the first of the two passes
// (from 0), or -1.
double root_observed_order(const true_root *root, const double *ms, int n,
                           int *at);

// How many of the measures count.
int root_counted(const true_root *root, const double *ms, int n);

// The mean factor by which the measure shrinks a pass: the geometric mean
// of m[k+1] / m[k] from the first to the last measure that counts; NaN
// where fewer than two count.
double root_rate(const true_root *root, const double *ms, int n);

// The smallest and the largest factor m[j] / m[k] of two measures that
// count with none that counts between them (k < j); NaN both where fewer
// than two count. Where both lie near 0.5, the measure halves every pass.
void root_rate_range(const true_root *root, const double *ms, int n, double *lo,
                     double *hi);

#endif // ROOT_ROOT_H_
