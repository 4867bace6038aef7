// What the drawing tools share at the command line beyond their arguments
// (common/args.h): the standard streams at the start, --help and --version,
// pictures kept from terminals, how wide a text chart may be.
#ifndef COMMON_CLI_H_
#define COMMON_CLI_H_

#include "common/args.h"

// Resets SIGCHLD and SIGPIPE to their defaults, sets up interrupt_setup()
// (a signal removes an unfinished output file), and puts /dev/null on
// standard streams that were closed at the start, so that no pipe or file
// takes their place. Returns which were closed: closed_stdin, closed_stdout
// (output meant for a closed standard output is lost: a write error).
enum { closed_stdin = 1, closed_stdout = 2 };
int tool_start();

// Answers an info_request on standard output: help (the tool's text, then
// its exit statuses, gnuplot's where it draws) or "<tool> <version>".
// Returns exit_ok, or write_error() when it was lost (closed: what
// tool_start() returned).
int print_info(enum info_request request, const char *tool, const char *help,
               int draws, int closed);

// 1 after a message when a picture would go to a terminal (no -o FILE and
// standard output is one): pictures belong in files.
int refuses_terminal(enum output_format format, const char *path);

// The width of a text chart: the terminal's when standard output is the
// destination and a terminal, else COLUMNS, else 80; within 20 and 400.
int text_width(const char *path);

#endif // COMMON_CLI_H_
