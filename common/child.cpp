// Reading a child's two pipes with poll(), bounded in memory.
#include "common/child.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <poll.h>
#include <unistd.h>

#include "common/cli.h"

static const size_t output_limit = size_t{256} << 20;

// Takes what fd has into the output; 0 at its end, 1 for more, -1 on a
// read error, when memory runs out or the output passes output_limit.
static int take_output(int fd, child_output *c)
{
    if (c->len + 1 >= c->size) {
        size_t size = c->size ? 2 * c->size : 65536;
        char *more = size <= output_limit
                         ? static_cast<char *>(realloc(c->data, size))
                         : nullptr;
        if (more == nullptr)
            return -1;
        c->data = more;
        c->size = size;
    }
    ssize_t n = read(fd, c->data + c->len, c->size - c->len - 1);
    if (n < 0)
        return errno == EINTR ? 1 : -1;
    c->len += static_cast<size_t>(n);
    c->data[c->len] = '\0';
    return n > 0;
}

// Takes what fd has into the messages, keeping no more than their limit.
static int take_messages(int fd, child_output *c)
{
    char drop[4096];
    size_t room = message_limit - c->message_len;
    char *to = room > 0 ? c->messages + c->message_len : drop;
    ssize_t n = read(fd, to, room > 0 ? room : sizeof drop);
    if (n < 0)
        return errno == EINTR ? 1 : -1;
    if (room > 0)
        c->message_len += static_cast<size_t>(n);
    return n > 0;
}

int child_collect(const int fds[2], child_output *c)
{
    struct pollfd p[2] = {{fds[0], POLLIN, 0}, {fds[1], POLLIN, 0}};
    while (p[0].fd >= 0 || p[1].fd >= 0) {
        if (poll(p, 2, -1) < 0) {
            if (errno == EINTR)
                continue;
            return -1;
        }
        for (int k = 0; k < 2; ++k) {
            if (p[k].fd < 0 || p[k].revents == 0)
                continue;
            int more =
                k == 0 ? take_output(p[k].fd, c) : take_messages(p[k].fd, c);
            if (more < 0)
                return -1;
            if (more == 0)
                p[k].fd = -1;
        }
    }
    return 0;
}

void child_show_messages(const child_output *c)
{
    const char *s = c->messages;
    const char *end = s + c->message_len;
    while (s < end) {
        const char *nl = static_cast<const char *>(
            memchr(s, '\n', static_cast<size_t>(end - s)));
        size_t line = static_cast<size_t>((nl ? nl : end) - s);
        for (size_t k = 0; k < line; k += 1024) {
            char shown[4 * 1024 + 1];
            size_t piece = line - k < 1024 ? line - k : 1024;
            escape_bytes(shown, sizeof shown, s + k, piece, piece);
            fputs(shown, stderr);
        }
        fputc('\n', stderr);
        s += line + 1;
    }
}
