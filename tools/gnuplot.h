// Starting gnuplot, the one way the tools draw: found once on PATH, started
// without a shell (posix_spawn) on a script held in memory, its picture read
// back.
#ifndef TOOLS_GNUPLOT_H_
#define TOOLS_GNUPLOT_H_

#include <cstddef>
#include <cstdio>

// A stream for the script, kept in memory. Null (after a message, with the
// exit status 3 for the caller) when none can be made.
FILE *gnuplot_script();

// Runs gnuplot with default settings (no init file of the user's) on the
// script, which it closes. Returns 0 and hands over in *data (malloc'd, the
// caller frees it) and *len what gnuplot wrote on its standard output,
// followed by a zero byte that *len does not count.
// Otherwise writes a message and returns 2 when gnuplot cannot be found or
// started, 3 when it ran and failed or drew nothing; gnuplot's own messages
// are shown only then.
int gnuplot_run(FILE *script, char **data, size_t *len);

#endif // TOOLS_GNUPLOT_H_
