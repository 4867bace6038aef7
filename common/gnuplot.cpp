// gnuplot as a child process: the script is a memory file on its standard
// input, its standard output and standard error pipes read here; the picture
// is handed on, the messages are shown only when it fails. No shell, no
// temporary files.
#include "common/gnuplot.h"

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <spawn.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "common/child.h"
#include "common/finish.h"
#include "common/interrupt.h"
#include "common/status.h"

extern char **environ;

static const char msg_not_found[] = "FEHLER: gnuplot nicht gefunden; bitte "
                                    "installieren (Debian: gnuplot-nox)!\n";
static const char msg_failed[] = "FEHLER: gnuplot ist gescheitert!\n";

static int failed()
{
    fputs(msg_failed, stderr);
    fflush(stderr);
    return exit_gnuplot_failed;
}

static FILE *memory_file(const char *name)
{
    int fd = memfd_create(name, MFD_CLOEXEC);
    FILE *f = fd < 0 ? nullptr : fdopen(fd, "w+");
    if (f == nullptr && fd >= 0)
        close(fd);
    return f;
}

// Finds gnuplot once, as execvp would: the first executable file of that
// name in a folder of PATH (an empty entry is the working folder). Returns 1
// with its path in buf. Knowing it before the start, the caller can tell
// "not there" from "failed" even where a start cannot report that exec went
// wrong (under an emulator such as qemu-user).
static int find_gnuplot(char *buf, size_t size)
{
    const char *path = getenv("PATH");
    if (path == nullptr)
        path = "/bin:/usr/bin";
    for (;;) {
        size_t n = strcspn(path, ":");
        int len = n > 0 ? snprintf(buf, size, "%.*s/gnuplot",
                                   static_cast<int>(n), path)
                        : snprintf(buf, size, "./gnuplot");
        struct stat st;
        if (len > 0 && static_cast<size_t>(len) < size && stat(buf, &st) == 0 &&
            S_ISREG(st.st_mode) && access(buf, X_OK) == 0)
            return 1;
        if (path[n] == '\0')
            return 0;
        path += n + 1;
    }
}

// Starts the gnuplot at program with stdin, stdout and stderr on the given
// descriptors. Returns its pid, or -1 with errno from the start.
static pid_t start(const char *program, int in, int out, int err)
{
    posix_spawn_file_actions_t files;
    posix_spawnattr_t attr;
    sigset_t none;
    sigemptyset(&none);
    posix_spawn_file_actions_init(&files);
    posix_spawn_file_actions_adddup2(&files, in, 0);
    posix_spawn_file_actions_adddup2(&files, out, 1);
    posix_spawn_file_actions_adddup2(&files, err, 2);
    // gnuplot starts with no signal blocked and with the signals this tool
    // handles or ignores at their defaults.
    static const int reset[] = {SIGINT, SIGTERM, SIGHUP, SIGXFSZ, SIGPIPE};
    sigset_t defaults_for;
    sigemptyset(&defaults_for);
    for (int sig : reset)
        sigaddset(&defaults_for, sig);
    posix_spawnattr_init(&attr);
    posix_spawnattr_setsigmask(&attr, &none);
    posix_spawnattr_setsigdefault(&attr, &defaults_for);
    posix_spawnattr_setflags(&attr,
                             POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);
    // The script is read as a file: gnuplot reads a standard input that it
    // is not told to treat as one a byte at a time, dozens of times slower.
    char name[] = "gnuplot";
    char defaults[] = "--default-settings";
    char script[] = "/dev/stdin";
    char *argv[] = {name, defaults, script, nullptr};
    pid_t pid = -1;
    int error = posix_spawn(&pid, program, &files, &attr, argv, environ);
    posix_spawn_file_actions_destroy(&files);
    posix_spawnattr_destroy(&attr);
    errno = error;
    return error == 0 ? pid : -1;
}

// Runs gnuplot on the script, which it closes. Returns exit_ok with the
// picture in c->data and c->len (malloc'd, never empty); otherwise a status
// of gnuplot_draw() after its message.
static int gnuplot_run(FILE *script, child_output *c)
{
    char program[4096];
    if (!find_gnuplot(program, sizeof program)) {
        fclose(script);
        fputs(msg_not_found, stderr);
        return exit_no_gnuplot;
    }
    int out[2];
    int err[2];
    if (pipe2(out, O_CLOEXEC) != 0) {
        fclose(script);
        return failed();
    }
    if (pipe2(err, O_CLOEXEC) != 0) {
        close(out[0]);
        close(out[1]);
        fclose(script);
        return failed();
    }
    rewind(script);
    interrupt_hold();
    pid_t pid = start(program, fileno(script), out[1], err[1]);
    interrupt_stop(pid > 0 ? pid : 0);
    interrupt_release();
    close(out[1]);
    close(err[1]);
    fclose(script);
    if (pid < 0) {
        close(out[0]);
        close(err[0]);
        fputs(msg_not_found, stderr);
        return exit_no_gnuplot;
    }
    int fds[2] = {out[0], err[0]};
    int read_failed = child_collect(fds, c) != 0;
    if (read_failed)
        kill(pid, SIGKILL);
    close(out[0]);
    close(err[0]);
    int status = 0;
    pid_t waited;
    while ((waited = waitpid(pid, &status, 0)) < 0 && errno == EINTR) {
    }
    interrupt_stop(0);
    int ok = !read_failed && waited == pid && WIFEXITED(status) &&
             WEXITSTATUS(status) == 0 && c->len > 0;
    if (ok)
        return exit_ok;
    child_show_messages(c);
    return failed();
}

// The dumb terminal pads its page with blanks, empty lines and a form feed:
// keep the chart's lines only, without trailing blanks, each ended by a
// line feed.
static void clean_text(char *data, size_t *len)
{
    size_t out = 0;
    size_t line_start = 0;
    for (size_t k = 0; k < *len; ++k) {
        char c = data[k];
        if (c == '\f')
            continue;
        if (c == '\n') {
            while (out > line_start && data[out - 1] == ' ')
                --out;
            if (out > 0)
                data[out++] = '\n';
            line_start = out;
            continue;
        }
        data[out++] = c;
    }
    while (out > line_start && data[out - 1] == ' ')
        --out;
    while (out > 0 && data[out - 1] == '\n' &&
           (out == 1 || data[out - 2] == '\n'))
        --out;
    if (out > 0 && data[out - 1] != '\n')
        data[out++] = '\n';
    *len = out;
}

int gnuplot_draw(script_writer write_script, const void *context,
                 enum output_format format, FILE *out)
{
    FILE *gp = memory_file("gnuplot-skript");
    if (gp == nullptr)
        return failed();
    write_script(gp, context);
    if (fflush(gp) != 0 || ferror(gp)) { // a file-size limit, a full memory
        fclose(gp);
        return write_error();
    }
    static child_output c; // a message buffer too large for the stack
    c = child_output{nullptr, 0, 0, 0, {}};
    int status = gnuplot_run(gp, &c);
    if (status == exit_ok) {
        if (format == format_text)
            clean_text(c.data, &c.len);
        fwrite(c.data, 1, c.len, out);
    }
    free(c.data);
    return status;
}
