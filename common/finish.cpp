// The one way a program ends when its output was lost.
#include "common/finish.h"

#include "common/status.h"

static const char msg_write_error[] =
    "FEHLER: Schreibfehler bei der Ausgabe!\n";

int write_error()
{
    fputs(msg_write_error, stderr);
    fflush(stderr);
    return exit_failure;
}

int finish_output(FILE *out)
{
    int lost = fflush(out) != 0 || ferror(out);
    if (out != stdout && fclose(out) != 0)
        lost = 1;
    return lost ? write_error() : exit_ok;
}
