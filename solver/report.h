// The report lines of the three methods: the one definition of their format
// and of the pass limit, written by diodesolve and read back by its tools.
#ifndef SOLVER_REPORT_H_
#define SOLVER_REPORT_H_

#include <cstddef>
#include <cstdint>
#include <cstdio>

enum report_method { method_bisection, method_regula_falsi, method_newton };
enum { report_methods = 3, report_pass_limit = 200 };

// "HRN": the letter that opens a method's report lines.
extern const char report_letters[];
// "Halbierung", "Regula falsi", "Newton".
extern const char *const report_names[report_methods];
// Each method's colour in pictures, "#rrggbb": blue, orange and bluish
// green (Okabe and Ito), which colour-blind viewers can tell apart too.
extern const char *const report_colours[report_methods];

// One pass of one method: its number (from 1), the estimate i and the
// residual delta; a and b, the ends of the interval, only for regula falsi.
struct report_line {
    int method;
    uint64_t pass;
    double i;
    double delta;
    double a;
    double b;
};

// Writes the line as diodesolve shows it, line feed included.
void report_print(FILE *out, const report_line *line);

// Writes the line into buf (size bytes) as snprintf does; returns its
// length, line feed included.
int report_format(char *buf, size_t size, const report_line *line);

// Writes the empty line that closes a method's block.
void report_end_block(FILE *out);

// Reads the len bytes at text (no line feed; they may hold any byte).
// Returns 1 and fills *line when they are exactly a report line as
// report_print writes it, 0 otherwise.
int report_scan(const char *text, size_t len, report_line *line);

#endif // SOLVER_REPORT_H_
