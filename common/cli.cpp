// Command-line conventions of the drawing tools that need the system: the
// standard streams at the start, --help, terminals and their width.
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

int print_help(const char *text, int closed)
{
    fputs(text, stdout);
    return (closed & closed_stdout) ? write_error() : finish_output(stdout);
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
