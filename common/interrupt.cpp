// The signal handler of the drawing tools and the two things it undoes. It
// calls only async-signal-safe functions.
#include "common/interrupt.h"

#include <cerrno>
#include <climits>
#include <csignal>
#include <cstring>
#include <sys/wait.h>
#include <unistd.h>

static const int ending_signals[] = {SIGINT, SIGTERM, SIGHUP};

static char removal[PATH_MAX];
static volatile sig_atomic_t removal_set = 0;
static volatile sig_atomic_t child_pid = 0;

static void on_signal(int sig)
{
    if (removal_set)
        unlink(removal);
    pid_t child = child_pid;
    if (child > 0) {
        kill(child, SIGKILL);
        while (waitpid(child, nullptr, 0) < 0 && errno == EINTR) {
        }
    }
    signal(sig, SIG_DFL);
    raise(sig); // delivered when the handler returns, with sig unblocked
}

void interrupt_setup()
{
    signal(SIGXFSZ, SIG_IGN);
    struct sigaction action;
    memset(&action, 0, sizeof action);
    action.sa_handler = on_signal;
    sigemptyset(&action.sa_mask);
    for (int sig : ending_signals)
        sigaddset(&action.sa_mask, sig);
    for (int sig : ending_signals) {
        struct sigaction old;
        if (sigaction(sig, nullptr, &old) == 0 && old.sa_handler != SIG_IGN)
            sigaction(sig, &action, nullptr);
    }
}

static void mask(int how)
{
    sigset_t set;
    sigemptyset(&set);
    for (int sig : ending_signals)
        sigaddset(&set, sig);
    pthread_sigmask(how, &set, nullptr);
}

void interrupt_hold()
{
    mask(SIG_BLOCK);
}

void interrupt_release()
{
    mask(SIG_UNBLOCK);
}

void interrupt_remove(const char *path)
{
    removal_set = 0;
    if (path == nullptr || strlen(path) >= sizeof removal)
        return;
    memcpy(removal, path, strlen(path) + 1);
    removal_set = 1;
}

void interrupt_stop(pid_t child)
{
    child_pid = child;
}
