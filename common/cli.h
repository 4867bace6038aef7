// What the drawing tools share at the command line: where the output goes,
// how wide a text chart may be, and how input is echoed in messages.
#ifndef COMMON_CLI_H_
#define COMMON_CLI_H_

#include <cstddef>
#include <cstdio>

enum output_format { format_svg, format_png, format_text, format_csv };

// Copies at most max bytes of src[0..len) into dst (size bytes, always
// terminated): printable ASCII as it is, a backslash doubled, every other
// byte (control characters, NUL, bytes above 0x7e) as \xHH. Escapes are
// never cut in half.
void escape_bytes(char *dst, size_t size, const char *src, size_t len,
                  size_t max);

// Resets SIGCHLD and SIGPIPE to their defaults, sets up interrupt_setup()
// (a signal removes an unfinished output file), and puts /dev/null on
// standard streams that were closed at the start, so that no pipe or file
// takes their place. Returns which were closed: closed_stdin, closed_stdout
// (output meant for a closed standard output is lost: a write error).
enum { closed_stdin = 1, closed_stdout = 2 };
int tool_start();

// Reads "-o FILE", "--svg", "--png", "--text" and, when with_csv, "--csv" at
// argv[*k], advancing *k past what it took. Returns 1 when it took an
// option, 0 when argv[*k] is none of them, -1 after a message when -o lacks
// its file.
int take_output_option(int argc, char **argv, int *k, int with_csv,
                       enum output_format *format, const char **path);

// What argv[k] asks for: --help or -h, --version, or neither.
enum info_request { info_none, info_help, info_version };
enum info_request info_option(const char *arg);

// Answers an info_request on standard output: help (the tool's text, then
// its exit statuses) or "<tool> <version>". Returns exit_ok, or
// write_error() when it was lost (closed: what tool_start() returned).
int print_info(enum info_request request, const char *tool, const char *help,
               int closed);

// exit_usage after "FEHLER: <what>: "<arg>"!" (arg escaped).
int argument_error(const char *what, const char *arg);

// exit_usage after a message naming the argument: an unknown option.
int usage_error(const char *tool, const char *arg);

// 1 after a message when a picture would go to a terminal (no -o FILE and
// standard output is one): pictures belong in files.
int refuses_terminal(enum output_format format, const char *path);

// The width of a text chart: the terminal's when standard output is the
// destination and a terminal, else COLUMNS, else 80; within 20 and 400.
int text_width(const char *path);

// Writes "<head>"<arg>"<tail>" to standard error, arg escaped.
void echo_arg(const char *head, const char *arg, const char *tail);

#endif // COMMON_CLI_H_
