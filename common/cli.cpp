// Command-line conventions of the drawing tools: options for the output,
// usage errors, the width of text charts, escaped echoes of input.
#include "common/cli.h"

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include "common/finish.h"
#include "common/interrupt.h"
#include "common/status.h"

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

int tool_start()
{
    signal(SIGCHLD, SIG_DFL);
    signal(SIGPIPE, SIG_DFL);
    interrupt_setup();
    int closed = 0;
    for (int fd = 0; fd <= 2; ++fd) { // open() takes the lowest free slot
        if (fcntl(fd, F_GETFD) < 0 && errno == EBADF) {
            closed |= 1 << fd;
            open("/dev/null", fd == 0 ? O_RDONLY : O_WRONLY);
        }
    }
    return closed;
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

void echo_arg(const char *head, const char *arg, const char *tail)
{
    char shown[4 * 80 + 1];
    escape_bytes(shown, sizeof shown, arg, strlen(arg), 80);
    fprintf(stderr, "%s\"%s\"%s", head, shown, tail);
}

int print_help(const char *text, int closed)
{
    fputs(text, stdout);
    return (closed & closed_stdout) ? write_error() : finish_output(stdout);
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

int refuses_terminal(enum output_format format, const char *path)
{
    if (format == format_text || format == format_csv || path != nullptr ||
        !isatty(STDOUT_FILENO))
        return 0;
    fputs("FEHLER: Ein Bild gehoert nicht ins Terminal; bitte mit -o DATEI "
          "oder > DATEI umlenken!\n",
          stderr);
    return 1;
}

// COLUMNS when it holds a positive number, else 0.
static long columns_variable()
{
    const char *s = getenv("COLUMNS");
    if (s == nullptr || *s == '\0')
        return 0;
    char *end = nullptr;
    long n = strtol(s, &end, 10);
    return *end == '\0' && n > 0 ? n : 0;
}

int text_width(const char *path)
{
    long width = 0;
    struct winsize ws;
    if (path == nullptr && isatty(STDOUT_FILENO) &&
        ioctl(STDOUT_FILENO, TIOCGWINSZ, &ws) == 0)
        width = ws.ws_col;
    if (width <= 0)
        width = columns_variable();
    if (width <= 0)
        width = 80;
    return static_cast<int>(width < 20 ? 20 : width > 400 ? 400 : width);
}
