// The report lines of the methods: the one definition of their formats and
// of the pass limit, written by diodesolve and the tools and read back by
// diodeplot and the page.
#ifndef SOLVER_REPORT_H_
#define SOLVER_REPORT_H_

#include <cstddef>
#include <cstdint>
#include <cstdio>

enum { report_pass_limit = 200 };

// The formats, after the method's letter: "%c Pass %4lu    I=%lg
// Delta=%lg", then for report_ends "  a=%lg b=%lg", for report_ends_word
// also "  %s", then a line feed.
enum report_kind { report_plain, report_ends, report_ends_word };

// One pass of one method: its number (from 1), the estimate i and the
// residual delta; a and b, the interval's ends, and word, the index of one
// of the method's words, where its format shows them.
struct report_line {
    int method; // its index in the table of methods (solver/method.h)
    uint64_t pass;
    double i;
    double delta;
    double a;
    double b;
    int word;
};

// Writes the line as diodesolve shows it, line feed included.
void report_print(FILE *out, const report_line *line);

// Writes the line into buf (size bytes) as snprintf does; returns its
// length, line feed included.
int report_format(char *buf, size_t size, const report_line *line);

// The opening of the line that begins diodelab's comparison after its
// blocks: "Wurzel I*".
extern const char report_root_line[];

// Writes the empty line that closes a method's block.
void report_end_block(FILE *out);

// Reads the len bytes at text (no line feed; they may hold any byte).
// Returns 1 and fills *line when they are exactly a report line as
// report_print writes it, 0 otherwise.
int report_scan(const char *text, size_t len, report_line *line);

#endif // SOLVER_REPORT_H_
