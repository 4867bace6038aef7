// diodelab's start values, and its comparison after its blocks: the true
// root and, per method, its passes, ending, last estimate, distance in
// ulps and observed order. The page runs them too.
#ifndef LAB_COMPARE_H_
#define LAB_COMPARE_H_

#include <cstdio>

#include "root/root.h"
#include "solver/method.h"

// A method's run: how it ended and the estimate of every pass.
struct lab_run {
    int method;
    method_end end;
    double estimate[report_pass_limit];
};

// The start values of a run on a circuit of voltage u and resistance r:
// the defaults ([0, U / R], x = U / R), or [a, b] where interval (with x =
// b), and x where x0.
void lab_start(double u, double r, int interval, double a, double b, int x0,
               double x, method_start *start);

// A measure of the comparison in buf (size bytes): a finite distance as
// %+.3g, an order as %.2f, nan, inf and -inf as such, and "-" where there
// is none (NaN). Returns buf.
enum lab_measure_kind { lab_distance, lab_order };
const char *lab_measure(char *buf, size_t size, double v, int kind);

// Writes the comparison: "Wurzel I* = %.17g A" (the double nearest I*) or
// "Wurzel I*: keine", a line with I* to 40 digits where it is not 0, then a
// line per run.
void write_comparison(FILE *out, const true_root *root, const lab_run *runs,
                      int count);

#endif // LAB_COMPARE_H_
