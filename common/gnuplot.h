// Starting gnuplot, the one way the tools draw: found once on PATH, started
// without a shell (posix_spawn) on a script held in memory, its picture read
// back.
#ifndef COMMON_GNUPLOT_H_
#define COMMON_GNUPLOT_H_

#include <cstdio>

#include "common/cli.h"

// Writes the gnuplot script for what context describes to gp.
typedef void (*script_writer)(FILE *gp, const void *context);

// Draws with gnuplot: write_script fills a script held in memory, gnuplot
// runs it with default settings (no init file of the user's), and what it
// drew is written to out (a text chart of the dumb terminal without its
// padding; the caller checks out for write errors). Returns exit_ok;
// otherwise, after a message, exit_no_gnuplot when gnuplot cannot be found
// or started, exit_gnuplot_failed when it ran and failed or drew nothing
// (the first 64 KiB of its own messages are shown only then, escaped), and
// exit_failure when the script could not be written.
int gnuplot_draw(script_writer write_script, const void *context,
                 enum output_format format, FILE *out);

#endif // COMMON_GNUPLOT_H_
