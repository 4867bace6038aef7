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

// The exit statuses of the drawing tools (common/status.h).
static const char exit_statuses[] =
    "Exit-Status:\n"
    "  0       alles erledigt\n"
    "  1       Ausgabe verloren (Schreibfehler), Eingabe unlesbar oder "
    "fehlerhaft,\n"
    "          nicht genug Speicher\n";
static const char drawing_statuses[] =
    "  2       gnuplot nicht gefunden oder nicht startbar\n"
    "  3       gnuplot ist gescheitert oder hat nichts gezeichnet\n";
static const char other_statuses[] =
    "  64      falscher Aufruf\n"
    "  128+N   durch das Signal N beendet (SIGHUP 129, SIGINT 130, SIGTERM "
    "143);\n"
    "          eine Ausgabedatei bleibt dann, wie sie war; SIGPIPE 141, wenn "
    "der Leser\n"
    "          einer Pipe vor dem Ende der Ausgabe aufhoert\n";

int print_info(enum info_request request, const char *tool, const char *help,
               int draws, int closed)
{
    if (request == info_version)
        printf("%s %s\n", tool, DALV_VERSION);
    else
        printf("%s%s%s%s", help, exit_statuses, draws ? drawing_statuses : "",
               other_statuses);
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
