// Choosing methods by their letters, as the tools' --verfahren takes them.
#ifndef SOLVER_CHOOSE_H_
#define SOLVER_CHOOSE_H_

#include <cstddef>

#include "solver/method.h"

// Reads letters, the value of option, as methods of the table, in their
// order, into method[0..*count). Returns exit_ok, or exit_usage after a
// message on standard error naming the letter that is unknown or comes
// twice, or saying that there is none, with the letters there are.
int method_choose(const char *option, const char *letters,
                  int method[method_count], int *count);

// The methods of the table for a help text, "H Halbierung, R Regula
// falsi, ...", in lines of at most width columns, each after indent spaces
// and ending in a line feed, into buf (size bytes; cut short there).
void method_help_list(char *buf, size_t size, int indent, int width);

#endif // SOLVER_CHOOSE_H_
