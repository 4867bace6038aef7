// The stop tests of the methods, each one rule, named, beside the passes
// (as GSL keeps gsl_root_test_interval, _delta and _residual apart from its
// iterations). A method's record lists the tests it stops by, in the order
// they are tried; each reads what a pass leaves in a stop_facts. They are
// inline, so that a method's pass, which hands its own list to
// stop_first, runs them without a call. Comparisons are exact: binary64
// equality, under which +0 equals -0 and NaN equals nothing.
#ifndef SOLVER_STOP_H_
#define SOLVER_STOP_H_

#include <cmath>
#include <cstdint>

#include "solver/report.h"

// What the tests read after a pass: its number n, its new estimate next
// and the estimate it is compared with for a repeat (prev), the residual d
// of the new estimate, the ends lo and hi of the interval it keeps, and the
// last two residuals fa and fb it keeps (the secant's).
struct stop_facts {
    uint64_t n;
    double next, prev;
    double d;
    double lo, hi;
    double fa, fb;
};

// Whether no double lies strictly between a and b (also when a == b;
// never when either is not a number).
inline int doubles_neighbours(double a, double b)
{
    return std::nextafter(a, b) == b;
}

// n > 1 and next == prev: "Wiederholung".
inline int stop_repeat(const stop_facts *f)
{
    return f->n > 1 && f->next == f->prev;
}

// next == prev, from pass 1 on (the guarded Newton's repeat).
inline int stop_unmoved(const stop_facts *f)
{
    return f->next == f->prev;
}

// d == 0: "Residuum 0".
inline int stop_zero(const stop_facts *f)
{
    return f->d == 0.0;
}

// fa == fb, a horizontal secant: "Waagerecht".
inline int stop_level(const stop_facts *f)
{
    return f->fa == f->fb;
}

// No double between lo and hi: "Nachbarn".
inline int stop_neighbours(const stop_facts *f)
{
    return doubles_neighbours(f->lo, f->hi);
}

// Brent's "Toleranz": xm = (c - b) / 2 against tol1 = 2^-51 |b|, with b the
// estimate and c the interval's other end (|c - b| = hi - lo exactly).
inline int stop_tolerance(const stop_facts *f)
{
    double t = f->hi - f->lo;
    double xm = 0.5 * t;
    double ab = std::fabs(f->next);
    double tol1 = 0x1p-51 * ab;
    return std::fabs(xm) <= tol1;
}

// n == report_pass_limit: "Grenze".
inline int stop_limit(const stop_facts *f)
{
    return f->n == report_pass_limit;
}

// 1 when the rule holds after the pass.
typedef int (*stop_test)(const stop_facts *facts);

// A test and the ending it gives (a method_ending).
struct method_stop {
    int ending;
    stop_test holds;
};

// The ending of the first of count stops that holds, or 0 (ending_none).
inline int stop_first(const method_stop *stops, int count,
                      const stop_facts *facts)
{
    for (int k = 0; k < count; ++k)
        if (stops[k].holds(facts))
            return stops[k].ending;
    return 0;
}

// The same for a method's own list, known where it is compiled (constexpr),
// so that its tests run inline, without calls through the list.
template <const method_stop *stops, int count, int k = 0>
inline int stop_first_of(const stop_facts *facts)
{
    if constexpr (k == count)
        return 0;
    else
        return stops[k].holds(facts)
                   ? stops[k].ending
                   : stop_first_of<stops, count, k + 1>(facts);
}

#endif // SOLVER_STOP_H_
