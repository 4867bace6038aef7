// The command-line conventions that need no system beyond stdio: the output
// options, usage errors and escaped echoes of input (also in WebAssembly).
#include "common/args.h"

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>

#include "common/status.h"
#include "input/answer.h"

void escape_bytes(char *dst, size_t size, const char *src, size_t len,
                  size_t max)
{
    static const char hex[] = "0123456789abcdef";
    size_t used = 0;
    for (size_t k = 0; k < len && k < max; ++k) {
        unsigned char c = static_cast<unsigned char>(src[k]);
        char piece[4] = {static_cast<char>(c), '\\', hex[c >> 4], hex[c & 15]};
        size_t n = 1;
        if (c == '\\') {
            n = 2;
        } else if (c < 0x20 || c > 0x7e) {
            memcpy(piece, "\\x", 2);
            n = 4;
        }
        if (used + n >= size)
            break;
        memcpy(dst + used, piece, n);
        used += n;
    }
    if (size > 0)
        dst[used] = '\0';
}

int take_output_option(int argc, char **argv, int *k, int with_csv,
                       enum output_format *format, const char **path)
{
    static const char *const names[] = {"--svg", "--png", "--text", "--csv"};
    const char *arg = argv[*k];
    for (int n = 0; n < (with_csv ? 4 : 3); ++n) {
        if (strcmp(arg, names[n]) == 0) {
            *format = static_cast<output_format>(n);
            ++*k;
            return 1;
        }
    }
    if (strcmp(arg, "-o") != 0)
        return 0;
    if (*k + 1 >= argc || argv[*k + 1][0] == '\0') {
        fputs("FEHLER: Nach -o fehlt der Name der Ausgabedatei!\n", stderr);
        return -1;
    }
    *path = argv[*k + 1];
    *k += 2;
    return 1;
}

int whole_number(const char *text, double *value)
{
    char *end = nullptr;
    if (strchr(" \t\n\v\f\r", *text) != nullptr) // the terminator too
        return 0;
    double v = answer_strtod(text, &end);
    if (end == text || *end != '\0')
        return 0;
    *value = v;
    return 1;
}

void echo_arg(const char *head, const char *arg, const char *tail)
{
    char shown[4 * 80 + 1];
    escape_bytes(shown, sizeof shown, arg, strlen(arg), 80);
    fprintf(stderr, "%s\"%s\"%s", head, shown, tail);
}

int argument_error(const char *what, const char *arg)
{
    fprintf(stderr, "FEHLER: %s: ", what);
    echo_arg("", arg, "!\n");
    return exit_usage;
}

int usage_error(const char *tool, const char *arg)
{
    argument_error("Unbekanntes Argument", arg);
    fprintf(stderr, "Hilfe: %s --help\n", tool);
    return exit_usage;
}

enum info_request info_option(const char *arg)
{
    if (strcmp(arg, "--help") == 0 || strcmp(arg, "-h") == 0)
        return info_help;
    return strcmp(arg, "--version") == 0 ? info_version : info_none;
}

static int not_a_value(const char *option, const char *arg)
{
    char what[64];
    snprintf(what, sizeof what, "Kein Wert W oder Bereich A:B fuer %s", option);
    return argument_error(what, arg);
}

// Reads s, a part of arg, as a whole finite number. Returns exit_ok, or
// exit_usage after a message: not a number, or a nonzero number too small
// for a double, which would silently become 0.
static int range_end(const char *s, double *value, const char *option,
                     const char *arg)
{
    errno = 0;
    if (!whole_number(s, value) || !std::isfinite(*value))
        return not_a_value(option, arg);
    if (*value == 0.0 && errno == ERANGE) {
        char what[80];
        snprintf(what, sizeof what,
                 "Ein Wert fuer %s ist zu klein (kleinster Betrag 4.9e-324)",
                 option);
        return argument_error(what, arg);
    }
    return exit_ok;
}

int range_argument(const char *option, const char *arg, double *a, double *b,
                   int *is_range)
{
    char text[256];
    if (strlen(arg) >= sizeof text)
        return not_a_value(option, arg);
    snprintf(text, sizeof text, "%s", arg);
    char *colon = strchr(text, ':');
    if (colon != nullptr)
        *colon = '\0';
    *is_range = colon != nullptr;
    int status = range_end(text, a, option, arg);
    if (status == exit_ok && colon != nullptr)
        status = range_end(colon + 1, b, option, arg);
    if (status != exit_ok)
        return status;
    if (colon == nullptr)
        *b = *a; // one value
    else if (*a == *b)
        return argument_error("Ein Bereich braucht zwei verschiedene Enden",
                              arg);
    return exit_ok;
}
