// diodelab's comparison after its blocks: the true root and, per method,
// its passes, ending, last estimate, distance in ulps and observed order.
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

// Writes the comparison: "Wurzel I* = %.17g A" (the double nearest I*) or
// "Wurzel I*: keine", a line with I* to 40 digits where it is not 0, then a
// line per run.
void write_comparison(FILE *out, const true_root *root, const lab_run *runs,
                      int count);

#endif // LAB_COMPARE_H_
