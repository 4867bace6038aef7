// The tools' arguments, also in WebAssembly: the output options, --help
// and --version, usage errors, and input echoed in messages, escaped.
#ifndef COMMON_ARGS_H_
#define COMMON_ARGS_H_

#include <cstddef>

enum output_format { format_svg, format_png, format_text, format_csv };

// Copies at most max bytes of src[0..len) into dst (size bytes, always
// terminated): printable ASCII as it is, a backslash doubled, every other
// byte (control characters, NUL, bytes above 0x7e) as \xHH. Escapes are
// never cut in half.
void escape_bytes(char *dst, size_t size, const char *src, size_t len,
                  size_t max);

// Reads "-o FILE", "--svg", "--png", "--text" and, when with_csv, "--csv" at
// argv[*k], advancing *k past what it took. Returns 1 when it took an
// option, 0 when argv[*k] is none of them, -1 after a message when -o lacks
// its file.
int take_output_option(int argc, char **argv, int *k, int with_csv,
                       enum output_format *format, const char **path);

// Reads text as one number through and through: strtod's forms, with no
// blank before or after it, a NaN's sign as written. Returns 1, or 0 with
// *value untouched.
int whole_number(const char *text, double *value);

// Reads arg, the value of option, as one value W or a range A:B of whole
// finite numbers (whole_number; a nonzero number too small for a double
// is refused, and so are two equal ends). Returns exit_ok with *a and *b
// (*b = *a for one value) and *is_range, or exit_usage after a German
// message naming the argument.
int range_argument(const char *option, const char *arg, double *a, double *b,
                   int *is_range);

// What argv[k] asks for: --help or -h, --version, or neither.
enum info_request { info_none, info_help, info_version };
enum info_request info_option(const char *arg);

// exit_usage after "FEHLER: <what>: "<arg>"!" (arg escaped).
int argument_error(const char *what, const char *arg);

// exit_usage after a message naming the argument: an unknown option.
int usage_error(const char *tool, const char *arg);

// Writes "<head>"<arg>"<tail>" to standard error, arg escaped.
void echo_arg(const char *head, const char *arg, const char *tail);

#endif // COMMON_ARGS_H_
