// The true root and the measures against it (root/root.h).
#include "root/root.h"

#include <cmath>

#include "solver/equation.h"

static const double not_a_number = std::nan("");

// Newton's steps stop once a step is this many bits below y.
static const int64_t settled_bits = 230;
enum { newton_most = 400 };

// phi(y) and phi'(y), with c = R I_S.
static void phi(const wide *y, const wide *ut, const wide *c, const wide *u,
                wide *value, wide *slope)
{
    wide em1 = wide_expm1(y);
    wide a = wide_mul(ut, y);
    wide b = wide_mul(c, &em1);
    wide ab = wide_add(&a, &b);
    *value = wide_sub(&ab, u);
    wide one = wide_from_int(1);
    wide e = wide_add(&em1, &one);
    wide ce = wide_mul(c, &e);
    *slope = wide_add(ut, &ce);
}

// A start right of y*, where phi > 0: for U > 0 the smaller of U / U_T
// and ln(1 + U / c) (phi is U_T y > 0 or c (e^y - 1) > 0 there), for U < 0
// the point 0 (phi is -U).
static wide start(const wide *ut, const wide *c, const wide *u)
{
    if (u->sign < 0)
        return wide{};
    wide by_diode = wide_div(u, ut);
    wide q = wide_div(u, c);
    wide by_resistor = wide_log1p(&q);
    return wide_cmp(&by_diode, &by_resistor) < 0 ? by_diode : by_resistor;
}

// The exponent q of the gap 2^q from |v| to the next larger double,
// 2^-1074 for 0.
static int64_t ulp_exp_of(const wide *v)
{
    int64_t e = v->sign == 0 ? -1074 : v->exp - 1; // |v| in [2^e, 2^(e+1))
    return (e < -1022 ? -1022 : e) - 52;
}

void root_find(double u, double r, double i_s, true_root *root)
{
    *root = true_root{};
    root->exists = std::isfinite(u) && std::isfinite(r) && std::isfinite(i_s) &&
                   r > 0.0 && i_s > 0.0;
    if (!root->exists)
        return;
    wide uw = wide_from_double(u);
    wide is = wide_from_double(i_s);
    if (u != 0.0) {
        wide ut = wide_from_double(thermal_voltage);
        wide rw = wide_from_double(r);
        wide c = wide_mul(&rw, &is);
        wide y = start(&ut, &c, &uw);
        for (int k = 0; k < newton_most; ++k) {
            wide value, slope;
            phi(&y, &ut, &c, &uw, &value, &slope);
            wide step = wide_div(&value, &slope);
            y = wide_sub(&y, &step);
            if (step.sign == 0 || step.exp < y.exp - settled_bits)
                break;
        }
        wide em1 = wide_expm1(&y);
        root->value = wide_mul(&is, &em1);
    }
    root->nearest = wide_to_double(&root->value);
    root->ulp_exp = ulp_exp_of(&root->value);
    root->ulp = wide_ldexp(wide_from_int(1), root->ulp_exp);
}

char *root_digits_text(const true_root *root, int digits, char *buf,
                       size_t size)
{
    return wide_digits(&root->value, digits, buf, size);
}

// x - I* as a wide number (x finite).
static wide error_of(const true_root *root, double x)
{
    wide xw = wide_from_double(x);
    return wide_sub(&xw, &root->value);
}

double root_exact_residual(double u, double r, double i_s, double x)
{
    if (!std::isfinite(u) || !std::isfinite(r) || !std::isfinite(i_s) ||
        !std::isfinite(x) || !(i_s > 0.0) || x <= -i_s)
        return not_a_number;
    wide xw = wide_from_double(x);
    wide is = wide_from_double(i_s);
    wide q = wide_div(&xw, &is);
    wide l = wide_log1p(&q);
    wide ut = wide_from_double(thermal_voltage);
    wide rw = wide_from_double(r);
    wide uw = wide_from_double(u);
    wide diode = wide_mul(&ut, &l);
    wide resistor = wide_mul(&rw, &xw);
    wide rest = wide_sub(&resistor, &uw); // exact where they lie near
    wide residual = wide_add(&rest, &diode);
    return wide_to_double(&residual);
}

double root_error(const true_root *root, double x)
{
    if (!std::isfinite(x))
        return x - root->nearest; // inf or NaN, as the estimate is
    wide e = error_of(root, x);
    return wide_to_double(&e);
}

double root_ulps(const true_root *root, double x)
{
    if (!std::isfinite(x))
        return x - root->nearest;
    wide q = wide_ldexp(error_of(root, x), -root->ulp_exp);
    return wide_to_double(&q);
}

double root_correct_digits(const true_root *root, double x)
{
    if (!std::isfinite(x) || root->value.sign == 0)
        return not_a_number;
    wide e = error_of(root, x);
    if (e.sign == 0)
        return HUGE_VAL;
    // log10 |e| / |I*| through log2, so that no quotient underflows.
    double bits = wide_log2(&e) - wide_log2(&root->value);
    return -bits * 0.30102999566398120;
}

void root_errors(const true_root *root, const double *xs, int n, double *ms)
{
    for (int k = 0; k < n; ++k)
        ms[k] = std::isfinite(xs[k]) ? std::fabs(root_error(root, xs[k]))
                                     : not_a_number;
}

int root_counts(const true_root *root, double m)
{
    double noise = std::ldexp(static_cast<double>(root_noise_ulps),
                              static_cast<int>(root->ulp_exp));
    return std::isfinite(m) && m > noise; // 0 and NaN never count
}

double root_order(const true_root *root, const double *ms, int n, int k)
{
    if (k < 1 || k + 1 >= n)
        return not_a_number;
    double before = ms[k - 1], at = ms[k], after = ms[k + 1];
    if (!root_counts(root, before) || !root_counts(root, at) ||
        !root_counts(root, after) || !(after < at && at < before))
        return not_a_number;
    return std::log(after / at) / std::log(at / before);
}

// Whether two orders agree to within a tenth of the larger.
static int agree(double p, double q)
{
    return std::fabs(p - q) <= 0.1 * std::fmax(p, q); // never with NaN
}

double root_order_confirmed(const true_root *root, const double *ms, int n,
                            int k)
{
    double at = root_order(root, ms, n, k);
    return agree(at, root_order(root, ms, n, k - 1)) ||
                   agree(at, root_order(root, ms, n, k + 1))
               ? at
               : not_a_number;
}

double root_observed_order(const true_root *root, const double *ms, int n,
                           int *at)
{
    for (int k = n - 2; k > 1; --k) {
        double p = root_order(root, ms, n, k - 1);
        double q = root_order(root, ms, n, k);
        if (agree(p, q)) {
            if (at != nullptr)
                *at = k - 1;
            return (p + q) / 2.0;
        }
    }
    if (at != nullptr)
        *at = -1;
    return not_a_number;
}

int root_counted(const true_root *root, const double *ms, int n)
{
    int count = 0;
    for (int k = 0; k < n; ++k)
        count += root_counts(root, ms[k]);
    return count;
}

double root_rate(const true_root *root, const double *ms, int n)
{
    int first = -1, last = -1;
    for (int k = 0; k < n; ++k) {
        if (!root_counts(root, ms[k]))
            continue;
        first = first < 0 ? k : first;
        last = k;
    }
    if (first < 0 || last == first)
        return not_a_number;
    double drop = std::log2(ms[last]) - std::log2(ms[first]); // no underflow
    return std::exp2(drop / (last - first));
}

void root_rate_range(const true_root *root, const double *ms, int n, double *lo,
                     double *hi)
{
    *lo = *hi = not_a_number;
    double before = not_a_number;
    for (int k = 0; k < n; ++k) {
        if (!root_counts(root, ms[k]))
            continue;
        double factor = ms[k] / before; // NaN at the first
        *lo = std::fmin(*lo, factor);   // fmin and fmax skip a NaN
        *hi = std::fmax(*hi, factor);
        before = ms[k];
    }
}
