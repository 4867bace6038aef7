// How every program of the project ends: output that could not be written
// (a full disk, a closed standard output) is a failure, never success.
#ifndef COMMON_FINISH_H_
#define COMMON_FINISH_H_

#include <cstdio>

// Writes "FEHLER: Schreibfehler bei der Ausgabe!" to standard error and
// returns exit_failure, the status of a run whose output was lost.
int write_error();

// Flushes out (and closes it unless it is stdout). Returns exit_ok when
// everything written to it arrived, otherwise write_error().
int finish_output(FILE *out);

#endif // COMMON_FINISH_H_
