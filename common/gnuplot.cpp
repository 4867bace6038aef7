// gnuplot as a child process: the script is a memory file on its standard
// input, its standard output a pipe read here, its standard error a memory
// file shown only when it fails. No shell, no temporary files.
#include "common/gnuplot.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <spawn.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "common/status.h"

extern char **environ;

static const char msg_not_found[] = "FEHLER: gnuplot nicht gefunden; bitte "
                                    "installieren (Debian: gnuplot-nox)!\n";
static const char msg_failed[] = "FEHLER: gnuplot ist gescheitert!\n";

// No picture of the tools comes near this; more is a runaway gnuplot.
static const size_t output_limit = size_t{256} << 20;

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

// A stream for the script, kept in memory; null after a message.
static FILE *gnuplot_script()
{
    FILE *script = memory_file("gnuplot-skript");
    if (script == nullptr)
        failed();
    return script;
}

// Reads fd to its end into a growing buffer, with room for a zero after the
// last byte. Returns 0, or -1 on a read error, when memory runs out or the
// output passes output_limit.
static int read_all(int fd, char **data, size_t *len)
{
    size_t size = 0;
    *data = nullptr;
    *len = 0;
    for (;;) {
        if (*len + 1 >= size) {
            size = size ? 2 * size : 65536;
            char *more = size <= output_limit
                             ? static_cast<char *>(realloc(*data, size))
                             : nullptr;
            if (more == nullptr)
                return -1;
            *data = more;
        }
        ssize_t n = read(fd, *data + *len, size - *len - 1);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            (*data)[*len] = '\0';
            return static_cast<int>(n);
        }
        *len += static_cast<size_t>(n);
    }
}

// Shows what gnuplot wrote on its standard error.
static void show_messages(FILE *messages)
{
    char buf[4096];
    size_t n;
    rewind(messages);
    while ((n = fread(buf, 1, sizeof buf, messages)) > 0)
        fwrite(buf, 1, n, stderr);
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
        int len = snprintf(buf, size, "%.*s/gnuplot", static_cast<int>(n),
                           n > 0 ? path : ".");
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
    posix_spawnattr_init(&attr);
    posix_spawnattr_setsigmask(&attr, &none);
    posix_spawnattr_setflags(&attr, POSIX_SPAWN_SETSIGMASK);
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

// Runs gnuplot on the script, which it closes. Returns exit_ok and hands
// over in *data (malloc'd) and *len what gnuplot wrote on its standard
// output, followed by a zero byte that *len does not count; otherwise a
// status of gnuplot_draw() after its message.
static int gnuplot_run(FILE *script, char **data, size_t *len)
{
    *data = nullptr;
    *len = 0;
    char program[4096];
    if (!find_gnuplot(program, sizeof program)) {
        fclose(script);
        fputs(msg_not_found, stderr);
        return exit_no_gnuplot;
    }
    FILE *messages = memory_file("gnuplot-meldungen");
    int out[2];
    if (fflush(script) != 0 || ferror(script) || messages == nullptr ||
        pipe2(out, O_CLOEXEC) != 0) {
        fclose(script);
        if (messages != nullptr)
            fclose(messages);
        return failed();
    }
    rewind(script);
    pid_t pid = start(program, fileno(script), out[1], fileno(messages));
    close(out[1]);
    fclose(script);
    if (pid < 0) {
        close(out[0]);
        fclose(messages);
        fputs(msg_not_found, stderr);
        return exit_no_gnuplot;
    }
    int read_failed = read_all(out[0], data, len) != 0;
    if (read_failed)
        kill(pid, SIGTERM);
    close(out[0]);
    int status = 0;
    pid_t waited;
    while ((waited = waitpid(pid, &status, 0)) < 0 && errno == EINTR) {
    }
    int ok = !read_failed && waited == pid && WIFEXITED(status) &&
             WEXITSTATUS(status) == 0 && *len > 0;
    if (!ok)
        show_messages(messages);
    fclose(messages);
    if (ok)
        return exit_ok;
    free(*data);
    *data = nullptr;
    *len = 0;
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
                 enum output_format format, const char *path)
{
    FILE *gp = gnuplot_script();
    if (gp == nullptr)
        return exit_gnuplot_failed;
    write_script(gp, context);
    char *data = nullptr;
    size_t len = 0;
    int status = gnuplot_run(gp, &data, &len);
    if (status != exit_ok)
        return status;
    if (format == format_text)
        clean_text(data, &len);
    status = write_output(path, data, len);
    free(data);
    return status;
}
