// The true root against MPFR: I* found in MPFR with 400 bits by bisection
// in I on the mesh equation itself, U_T log1p(I / I_S) + R I - U, a way
// independent of root.cpp's. On the circuits whose runs are known, extreme
// ones, and COUNT random ones (U, R and I_S over the whole range of the
// doubles, U of both signs): the root must agree to 100 bits or more, and
// the double nearest it must be MPFR's. The real residual at doubles
// around I* and across (-I_S, U / R] must be MPFR's rounded once, or its
// neighbour where a term too small for 256 bits decides a tie.
// Usage: root_mpfr_test [COUNT]
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <gmp.h>
#include <mpfr.h>

#include "root/root.h"
#include "solver/equation.h"

static const mpfr_prec_t bits = 400;

// g(I) = U_T log1p(I / I_S) + R I - U.
static void g(mpfr_t out, const mpfr_t i, const mpfr_t u, const mpfr_t r,
              const mpfr_t i_s, const mpfr_t ut)
{
    mpfr_t q, t;
    mpfr_inits2(bits, q, t, static_cast<mpfr_ptr>(nullptr));
    mpfr_div(q, i, i_s, MPFR_RNDN);
    mpfr_log1p(q, q, MPFR_RNDN);
    mpfr_mul(q, q, ut, MPFR_RNDN);
    mpfr_mul(t, r, i, MPFR_RNDN);
    mpfr_add(q, q, t, MPFR_RNDN);
    mpfr_sub(out, q, u, MPFR_RNDN);
    mpfr_clears(q, t, static_cast<mpfr_ptr>(nullptr));
}

// I* by bisection: [0, U / R] for U > 0, [-I_S, 0] for U < 0, until the
// interval is 2^-220 of its midpoint.
static void mpfr_root(mpfr_t root, double u, double r, double i_s)
{
    mpfr_t U, R, IS, UT, lo, hi, mid, v, width, limit;
    mpfr_inits2(bits, U, R, IS, UT, lo, hi, mid, v, width, limit,
                static_cast<mpfr_ptr>(nullptr));
    mpfr_set_d(U, u, MPFR_RNDN);
    mpfr_set_d(R, r, MPFR_RNDN);
    mpfr_set_d(IS, i_s, MPFR_RNDN);
    mpfr_set_d(UT, thermal_voltage, MPFR_RNDN);
    if (u > 0) {
        mpfr_set_zero(lo, 1);
        mpfr_div(hi, U, R, MPFR_RNDN);
    } else {
        mpfr_neg(lo, IS, MPFR_RNDN);
        mpfr_set_zero(hi, 1);
    }
    for (int k = 0; k < 4000; ++k) {
        mpfr_add(mid, lo, hi, MPFR_RNDN);
        mpfr_div_2ui(mid, mid, 1, MPFR_RNDN);
        mpfr_sub(width, hi, lo, MPFR_RNDN);
        mpfr_abs(limit, mid, MPFR_RNDN);
        mpfr_div_2ui(limit, limit, 220, MPFR_RNDN);
        if (mpfr_cmp(width, limit) <= 0 || mpfr_equal_p(mid, lo) ||
            mpfr_equal_p(mid, hi))
            break;
        g(v, mid, U, R, IS, UT);
        if (mpfr_sgn(v) < 0)
            mpfr_set(lo, mid, MPFR_RNDN);
        else
            mpfr_set(hi, mid, MPFR_RNDN);
    }
    mpfr_set(root, mid, MPFR_RNDN);
    mpfr_clears(U, R, IS, UT, lo, hi, mid, v, width, limit,
                static_cast<mpfr_ptr>(nullptr));
}

static void from_wide(mpfr_t out, const wide *w)
{
    mpz_t z;
    mpz_init(z);
    mpz_import(z, wide_limbs, -1, sizeof w->m[0], 0, 0, w->m);
    mpfr_set_z_2exp(out, z, w->exp - 64 * wide_limbs, MPFR_RNDN);
    if (w->sign < 0)
        mpfr_neg(out, out, MPFR_RNDN);
    mpz_clear(z);
}

static double worst = HUGE_VAL;
static int failed = 0, checked = 0;

// root_exact_residual at x against g(x) in MPFR, rounded once.
static void check_residual(double u, double r, double i_s, double x)
{
    mpfr_t U, R, IS, UT, X, v;
    mpfr_inits2(bits, U, R, IS, UT, X, v, static_cast<mpfr_ptr>(nullptr));
    mpfr_set_d(U, u, MPFR_RNDN);
    mpfr_set_d(R, r, MPFR_RNDN);
    mpfr_set_d(IS, i_s, MPFR_RNDN);
    mpfr_set_d(UT, thermal_voltage, MPFR_RNDN);
    mpfr_set_d(X, x, MPFR_RNDN);
    g(v, X, U, R, IS, UT);
    double want = mpfr_get_d(v, MPFR_RNDN);
    double got = root_exact_residual(u, r, i_s, x);
    if (got != want && !(std::nextafter(got, want) == want &&
                         std::isfinite(want) && want != 0)) {
        printf("FAIL %.17g V, %.17g Ohm, %.17g A: the real residual at %.17g "
               "is %.17g, MPFR's %.17g\n",
               u, r, i_s, x, got, want);
        failed = 1;
    }
    mpfr_clears(U, R, IS, UT, X, v, static_cast<mpfr_ptr>(nullptr));
}

static void check(double u, double r, double i_s)
{
    true_root mine;
    root_find(u, r, i_s, &mine);
    if (!mine.exists) {
        printf("FAIL %.17g V, %.17g Ohm, %.17g A: no root found\n", u, r, i_s);
        failed = 1;
        return;
    }
    mpfr_t want, got, diff;
    mpfr_inits2(bits, want, got, diff, static_cast<mpfr_ptr>(nullptr));
    mpfr_root(want, u, r, i_s);
    from_wide(got, &mine.value);
    mpfr_sub(diff, got, want, MPFR_RNDN);
    double agree = HUGE_VAL; // bits of agreement
    if (!mpfr_zero_p(diff)) {
        mpfr_div(diff, diff, want, MPFR_RNDN);
        mpfr_abs(diff, diff, MPFR_RNDN);
        long e;
        double m = mpfr_get_d_2exp(&e, diff, MPFR_RNDN);
        agree = -(std::log2(m) + static_cast<double>(e));
    }
    double nearest = mpfr_get_d(want, MPFR_RNDN);
    if (agree < 100 || nearest != mine.nearest) {
        printf("FAIL %.17g V, %.17g Ohm, %.17g A: %.1f bits, nearest %.17g, "
               "MPFR's %.17g\n",
               u, r, i_s, agree, mine.nearest, nearest);
        failed = 1;
    }
    worst = agree < worst ? agree : worst;
    ++checked;
    double x = mine.nearest;
    double top = u / r;
    const double at[] = {x,
                         std::nextafter(x, HUGE_VAL),
                         std::nextafter(x, -HUGE_VAL),
                         x / 2,
                         -i_s / 2,
                         top};
    for (double a : at)
        if (std::isfinite(a) && a > -i_s)
            check_residual(u, r, i_s, a);
    mpfr_clears(want, got, diff, static_cast<mpfr_ptr>(nullptr));
}

// A double log-uniform from 10^lo to 10^hi.
static double spread(double lo, double hi)
{
    double t = static_cast<double>(rand()) / RAND_MAX;
    return std::pow(10.0, lo + (hi - lo) * t);
}

int main(int argc, char **argv)
{
    mpfr_set_emin(mpfr_get_emin_min());
    mpfr_set_emax(mpfr_get_emax_max());
    int count = argc > 1 ? atoi(argv[1]) : 300;
    static const double known[][3] = {
        {5, 1e3, 1e-12},      {0.7, 100, 1e-14},      {12, 4.7e3, 2e-9},
        {0.3, 1e3, 1e-16},    {-5, 1e3, 1e-12},       {0, 1e3, 1e-12},
        {5, 1e3, 1e-300},     {5, 1e3, 4.9e-324},     {1e308, 1e3, 1e-12},
        {1e308, 1e-300, 1e2}, {-1e308, 1e308, 1e-12}, {-1e-3, 1e3, 1e-300},
        {-0.5, 1e-3, 1e-9},   {4.9e-324, 1, 1e-12},   {1e308, 1e-10, 1e-12}};
    for (const auto &c : known)
        if (c[0] != 0)
            check(c[0], c[1], c[2]);
    srand(20261209);
    for (int k = 0; k < count; ++k) {
        double u = (rand() % 4 == 0 ? -1 : 1) * spread(-300, 308);
        check(u, spread(-300, 300), spread(-300, 2));
    }
    printf("true root against MPFR: %d circuits, the worst agreeing to %.1f "
           "bits\n",
           checked, worst);
    return failed;
}
