/* pty_dialogue: runs a program on a pseudo-terminal and types its answers as
 * a person would, each only once its prompt is on the screen; then checks
 * what the screen shows afterwards and that the program ends with status 0.
 *
 * Usage: pty_dialogue PROGRAM PROMPT ANSWER [PROMPT ANSWER ...] -- TEXT ...
 * Every TEXT must appear, in order, after the last answer. */
#define _GNU_SOURCE
#include <errno.h>
#include <poll.h>
#include <pty.h>
#include <stdio.h>
#include <string.h>
#include <sys/wait.h>
#include <unistd.h>

static char screen[1 << 16];
static size_t shown;

/* Reads what the program writes to the terminal until want appears after
 * position from (want null: until the program closes the terminal), or
 * until timeout_ms pass without news. Returns 1 when the condition is met. */
static int watch(int master, size_t from, const char *want, int timeout_ms)
{
    for (;;) {
        if (want && memmem(screen + from, shown - from, want, strlen(want)))
            return 1;
        struct pollfd p = {master, POLLIN, 0};
        if (poll(&p, 1, timeout_ms) <= 0)
            return 0;
        ssize_t n = read(master, screen + shown, sizeof screen - 1 - shown);
        if (n <= 0) /* EIO once the program has ended */
            return want == NULL;
        shown += (size_t)n;
    }
}

static int fail(const char *why, const char *what)
{
    screen[shown] = '\0';
    fprintf(stderr, "FAIL: %s: \"%s\"\nscreen so far:\n%s\n", why, what,
            screen);
    return 1;
}

int main(int argc, char **argv)
{
    int sep = 2;
    while (sep < argc && strcmp(argv[sep], "--") != 0)
        ++sep;
    if (argc < 3 || sep == argc || (sep - 2) % 2 != 0) {
        fputs("usage: pty_dialogue PROGRAM PROMPT ANSWER ... -- TEXT ...\n",
              stderr);
        return 2;
    }

    int master;
    pid_t child = forkpty(&master, NULL, NULL, NULL);
    if (child < 0) {
        perror("pty_dialogue: forkpty");
        return 2;
    }
    if (child == 0) {
        execl(argv[1], argv[1], (char *)NULL);
        _exit(127);
    }

    size_t mark = 0;
    for (int k = 2; k < sep; k += 2) {
        if (!watch(master, mark, argv[k], 5000))
            return fail("prompt not on the screen before its answer", argv[k]);
        mark = shown;
        dprintf(master, "%s\r", argv[k + 1]); /* typed, then Enter */
    }
    watch(master, mark, NULL, 10000);

    const char *at = screen + mark;
    screen[shown] = '\0';
    for (int k = sep + 1; k < argc; ++k) {
        const char *found = strstr(at, argv[k]);
        if (!found)
            return fail("missing after the dialogue", argv[k]);
        at = found + strlen(argv[k]);
    }
    int status;
    if (waitpid(child, &status, 0) != child || !WIFEXITED(status) ||
        WEXITSTATUS(status) != 0)
        return fail("program did not end with status 0", argv[1]);
    puts("dialogue as typed at a terminal: passed");
    return 0;
}
