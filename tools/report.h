// Reading diodesolve transcripts: the residual of every pass of the three
// methods, from the report lines of their blocks.
#ifndef TOOLS_REPORT_H_
#define TOOLS_REPORT_H_

#include <cstddef>
#include <cstdio>

enum { report_methods = 3, report_max_passes = 200 };

// The passes of one method, in order: pass k + 1 has residual delta[k].
struct report_series {
    unsigned long passes;
    double delta[report_max_passes];
};

// Reads a transcript from in: report lines ("H Pass", "R Pass", "N Pass"),
// possibly after the prompts on the first of them; every other line is
// skipped. Fills series[0..2] with bisection, regula falsi and Newton and
// returns 1. Returns 0 with a German explanation in why (for "FEHLER: ")
// when there is no report line, a report line is cut short or malformed,
// pass numbers do not run 1, 2, 3, ... or a method's block is missing.
int read_report(FILE *in, report_series series[report_methods], char *why,
                size_t why_size);

#endif // TOOLS_REPORT_H_
