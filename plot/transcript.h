// Reading transcripts of diodesolve and diodelab: the residual of every
// pass of each method, from the report lines of their blocks.
#ifndef PLOT_TRANSCRIPT_H_
#define PLOT_TRANSCRIPT_H_

#include <cstddef>
#include <cstdio>

#include "solver/method.h"

// The passes of one method, in order: pass k + 1 has residual delta[k] and
// the estimate of the current current[k].
struct transcript_series {
    unsigned long passes;
    double delta[report_pass_limit];
    double current[report_pass_limit];
};

// A transcript: the passes of each method of the table (0 where it has no
// block), and the methods in the order of their blocks.
struct transcript {
    transcript_series series[method_count];
    int order[method_count];
    int count;
};

// Reads a transcript from in. A line is every byte up to its line feed (a
// carriage return before it belongs to the line end). A report line stands
// at the start of a line or after a space (the prompts precede the first
// one); every other line is skipped, unless it interrupts a block: each
// method's block is one uninterrupted run of its report lines, numbered
// 1, 2, 3, ..., and closed by an empty line; a method has one block.
// diodesolve's transcript has the blocks of bisection, regula falsi and
// Newton; diodelab's any blocks, and after them its comparison, whose lines
// (from the one that begins with report_root_line) name the same
// methods, each once. Fills *t and returns 1. Returns 0 with a German
// explanation in why (to follow "FEHLER: "; control characters of the input
// escaped) when the input cannot be read, holds no report line, a report
// line is cut short or malformed, a pass is missing, a block is incomplete
// or missing, or it goes on after its empty line.
int read_transcript(FILE *in, transcript *t, char *why, size_t why_size);

#endif // PLOT_TRANSCRIPT_H_
