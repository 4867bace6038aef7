// Where a tool's output goes: standard output, or a file given with -o that
// is replaced whole or not at all.
#ifndef COMMON_OUTPUT_H_
#define COMMON_OUTPUT_H_

#include <climits>
#include <cstdio>

struct output {
    FILE *stream;          // what to write to
    int replacing;         // 1: stream is temp, renamed over target at the end
    char temp[PATH_MAX];   // the temporary file beside the target
    char target[PATH_MAX]; // the file replaced: a symbolic link's target
};

// Opens the destination before any work is done: standard output when path
// is null; a file that exists and is not a regular file (/dev/null, a FIFO)
// as it is; otherwise a new temporary file in the folder of the file to
// replace (for a symbolic link, the file it points to), with the
// permission bits of the file it replaces. Returns exit_ok, or exit_failure
// after a message naming the file.
int output_open(output *out, const char *path);

// Ends the output of a run that ended with status. exit_ok: everything is
// flushed and the temporary file renamed over the target; returns exit_ok,
// or write_error() when anything was lost. Any other status: the temporary
// file is removed, the target left untouched, and status returned.
int output_close(output *out, int status);

#endif // COMMON_OUTPUT_H_
