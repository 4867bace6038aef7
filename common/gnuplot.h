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
// drew goes to FILE, or to standard output when path is null (a text chart
// of the dumb terminal without its padding). Returns exit_ok; otherwise,
// after a message, exit_no_gnuplot when gnuplot cannot be found or started,
// exit_gnuplot_failed when it ran and failed or drew nothing (its own
// messages are shown only then), exit_failure when the output was lost.
int gnuplot_draw(script_writer write_script, const void *context,
                 enum output_format format, const char *path);

#endif // COMMON_GNUPLOT_H_
