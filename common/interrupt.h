// What the drawing tools undo when SIGINT, SIGTERM or SIGHUP ends them: the
// temporary file of an output not yet complete is removed, a gnuplot still
// running is stopped and reaped, and the tool then ends by the same signal.
#ifndef COMMON_INTERRUPT_H_
#define COMMON_INTERRUPT_H_

#include <sys/types.h>

// Installs the handlers (a signal ignored at the start stays ignored) and
// ignores SIGXFSZ, so that a file-size limit is a failed write like any
// other.
void interrupt_setup();

// Blocks the three signals, and lets them through again, around a change
// that a handler must see whole (a file created and named, a child started
// and named).
void interrupt_hold();
void interrupt_release();

// The file to remove on a signal (null: none). The name is copied.
void interrupt_remove(const char *path);

// The child to stop and reap on a signal (0: none).
void interrupt_stop(pid_t child);

#endif // COMMON_INTERRUPT_H_
