// Choosing methods by their letters, as the tools' --verfahren takes them.
#ifndef SOLVER_CHOOSE_H_
#define SOLVER_CHOOSE_H_

#include "solver/method.h"

// Reads letters, the value of option, as methods of the table, in their
// order, into method[0..*count). Returns exit_ok, or exit_usage after a
// message on standard error naming the letter that is unknown or comes
// twice, or saying that there is none, with the letters there are.
int method_choose(const char *option, const char *letters,
                  int method[method_count], int *count);

#endif // SOLVER_CHOOSE_H_
