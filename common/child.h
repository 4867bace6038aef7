// What a child process writes on its standard output and standard error,
// read from two pipes at once: all of the output (up to a limit), the first
// 64 KiB of the messages; the rest of them is read and dropped.
#ifndef COMMON_CHILD_H_
#define COMMON_CHILD_H_

#include <cstddef>

enum { message_limit = 64 * 1024 };

// The output in a growing buffer (malloc'd), with room for a zero after its
// last byte, and the first message_limit bytes of the messages. Start from
// all zeros.
struct child_output {
    char *data;
    size_t len;
    size_t size;
    size_t message_len;
    char messages[message_limit];
};

// Reads the output from fds[0] and the messages from fds[1] as they come,
// until both end. Returns 0, or -1 on a read error, when memory runs out or
// the output passes 256 MiB (no picture comes near that: a runaway child).
int child_collect(const int fds[2], child_output *c);

// Writes the messages to standard error, their control bytes escaped as
// echoed input is, line by line.
void child_show_messages(const child_output *c);

#endif // COMMON_CHILD_H_
