// The convergence picture of one diodesolve run, as a gnuplot script.
#ifndef TOOLS_CONVERGENCE_H_
#define TOOLS_CONVERGENCE_H_

#include <cstdio>

#include "cli.h"
#include "transcript.h"

// Writes the script that draws |Delta| per pass of the three methods: an
// SVG or PNG picture, or a text chart width columns wide.
void write_convergence_script(FILE *gp, const transcript_series *series,
                              enum output_kind kind, int width);

#endif // TOOLS_CONVERGENCE_H_
