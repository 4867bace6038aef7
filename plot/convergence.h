// The convergence picture of one diodesolve run, as a gnuplot script.
#ifndef PLOT_CONVERGENCE_H_
#define PLOT_CONVERGENCE_H_

#include <cstdio>

#include "common/args.h"
#include "plot/transcript.h"

// Writes the script that draws |Delta| per pass of the transcript's
// methods, in the order of their blocks: an SVG or PNG picture, or a text
// chart width columns wide.
void write_convergence_script(FILE *gp, const transcript *t,
                              enum output_format format, int width);

#endif // PLOT_CONVERGENCE_H_
