// Output with -o FILE: written into a temporary file beside FILE and renamed
// over it only when every byte arrived, so that FILE is replaced whole or
// not at all; a signal removes the temporary file (interrupt.h).
#include "common/output.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "common/cli.h"
#include "common/finish.h"
#include "common/interrupt.h"
#include "common/status.h"

// The message names the file and the system's reason (err, an errno).
static int cannot_write(const char *path, int err)
{
    char tail[160];
    snprintf(tail, sizeof tail, " kann nicht geschrieben werden: %s!\n",
             strerror(err));
    echo_arg("FEHLER: Die Ausgabedatei ", path, tail);
    return exit_failure;
}

// The file that writing to path replaces, in buf (PATH_MAX bytes): path
// itself, or the end of its chain of symbolic links, which need not exist.
// Returns 0, or -1 when a name is too long or the links loop.
static int resolve(const char *path, char *buf)
{
    if (strlen(path) >= PATH_MAX)
        return -1;
    strcpy(buf, path);
    for (int hops = 0; hops < 40; ++hops) {
        struct stat st;
        if (lstat(buf, &st) != 0 || !S_ISLNK(st.st_mode))
            return 0;
        char link[PATH_MAX];
        ssize_t n = readlink(buf, link, sizeof link - 1);
        if (n < 0)
            return -1;
        link[n] = '\0';
        const char *slash = strrchr(buf, '/');
        size_t dir = link[0] == '/' || slash == nullptr
                         ? 0
                         : static_cast<size_t>(slash - buf) + 1;
        if (dir + static_cast<size_t>(n) >= PATH_MAX)
            return -1;
        memcpy(buf + dir, link, static_cast<size_t>(n) + 1);
    }
    return -1;
}

// Creates the temporary file beside out->target, exclusively, and names it
// for the signal handler in one step. Returns its descriptor, or -1.
static int create_temp(output *out)
{
    const char *slash = strrchr(out->target, '/');
    size_t dir = slash ? static_cast<size_t>(slash - out->target) + 1 : 0;
    int n = snprintf(out->temp, sizeof out->temp, "%.*s.%.200s.XXXXXX",
                     static_cast<int>(dir), out->target, out->target + dir);
    if (n < 0 || static_cast<size_t>(n) >= sizeof out->temp) {
        errno = ENAMETOOLONG;
        return -1;
    }
    interrupt_hold();
    int fd = mkostemp(out->temp, O_CLOEXEC);
    if (fd >= 0)
        interrupt_remove(out->temp);
    interrupt_release();
    return fd;
}

int output_open(output *out, const char *path)
{
    out->stream = stdout;
    out->replacing = 0;
    if (path == nullptr)
        return exit_ok;
    struct stat st;
    if (resolve(path, out->target) != 0)
        return cannot_write(path, errno);
    int exists = stat(out->target, &st) == 0;
    if (exists && !S_ISREG(st.st_mode)) { // a device or a FIFO: as it is
        out->stream = fopen(path, "we");
        return out->stream != nullptr ? exit_ok : cannot_write(path, errno);
    }
    mode_t mask = umask(0); // a new file: 0666 less the umask, as open() does
    umask(mask);
    mode_t mode = exists ? st.st_mode & 07777 : 0666 & ~mask;
    int fd = create_temp(out);
    int err = errno;
    if (fd >= 0 &&
        (fchmod(fd, mode) != 0 || (out->stream = fdopen(fd, "w")) == nullptr)) {
        err = errno;
        unlink(out->temp);
        interrupt_remove(nullptr);
        close(fd);
        fd = -1;
    }
    if (fd < 0) {
        out->stream = stdout;
        return cannot_write(path, err);
    }
    out->replacing = 1;
    return exit_ok;
}

// Puts temp in the place of target in one step. Where target exists, the
// two are exchanged (temp then holds the old content): a plain rename over
// an existing file makes ext4 write the new file's blocks out first, which
// costs a third of the time of a large map's CSV.
static int replace(const char *temp, const char *target)
{
#ifdef RENAME_EXCHANGE
    if (renameat2(AT_FDCWD, temp, AT_FDCWD, target, RENAME_EXCHANGE) == 0)
        return 0;
#endif
    return rename(temp, target);
}

int output_close(output *out, int status)
{
    if (!out->replacing) {
        int written = finish_output(out->stream);
        return status != exit_ok ? status : written;
    }
    int lost = fflush(out->stream) != 0 || ferror(out->stream);
    lost |= fclose(out->stream) != 0;
    if (status == exit_ok && !lost && replace(out->temp, out->target) == 0) {
        unlink(out->temp); // the old content, when they were exchanged
        interrupt_remove(nullptr);
        return exit_ok;
    }
    unlink(out->temp);
    interrupt_remove(nullptr);
    return status != exit_ok ? status : write_error();
}
