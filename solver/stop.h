// The stop tests of the methods, each one rule, named, beside the passes
// (as GSL keeps gsl_root_test_interval, _delta and _residual apart from its
// iterations). A method's record lists the tests it stops by, in the order
// they are tried; each reads what a pass leaves in a stop_facts.
#ifndef SOLVER_STOP_H_
#define SOLVER_STOP_H_

#include <cstdint>

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

// 1 when the rule holds after the pass.
typedef int (*stop_test)(const stop_facts *facts);

int stop_repeat(const stop_facts *f);     // n > 1 and next == prev
int stop_unmoved(const stop_facts *f);    // next == prev, from pass 1 on
int stop_zero(const stop_facts *f);       // d == 0
int stop_level(const stop_facts *f);      // fa == fb: a horizontal secant
int stop_neighbours(const stop_facts *f); // no double between lo and hi
int stop_tolerance(const stop_facts *f);  // |hi - lo| / 2 <= 2^-51 |next|
int stop_limit(const stop_facts *f);      // n == report_pass_limit

// A test and the ending it gives (a method_ending).
struct method_stop {
    int ending;
    stop_test holds;
};

// The ending of the first of count stops that holds, or ending_none.
int stop_first(const method_stop *stops, int count, const stop_facts *facts);

#endif // SOLVER_STOP_H_
