// Stopping criteria beside the methods' exact rules: a tolerance on the
// step |I_k - I_(k-1)| (from pass 2 on), one on the residual |Delta| of a
// pass's report line (for Newton's that is f where the pass started), and
// a largest number of passes. A criterion holds when its value is at most
// its bound; a not-a-number value never meets one. A run with criteria is
// the exact run cut after the first pass that meets one of them: the same
// passes and report lines up to there. diodesolve has none.
#ifndef LAB_CUT_H_
#define LAB_CUT_H_

#include <cstdint>

#include "solver/method.h"

// Which criterion ended a run (cut_none: its method's own rule did).
enum lab_cut_kind {
    cut_none,
    cut_step,
    cut_residual,
    cut_limit,
    lab_cut_kinds
};
// The comparison's words for them, in place of the ending's:
// "Schritt<=T", "Residuum<=T", "Hoechstzahl".
extern const char *const lab_cut_words[lab_cut_kinds];

// The criteria: a bound that is not a number, or a limit of 0, is none.
struct lab_cut {
    double step;
    double residual;
    uint64_t limit;
};

// No criterion: the exact rules alone.
lab_cut lab_cut_none();

// Whether any criterion is set.
int lab_cut_given(const lab_cut *cut);

// The criterion that the pass of line meets, before being the estimate of
// the pass before it, tried in the order step, residual, limit; cut_none
// where it meets none.
int lab_cut_met(const lab_cut *cut, const report_line *line, double before);

// Runs method as method_run does, but ends it after the first pass that
// meets a criterion of cut where its method's rules do not end it there;
// *kind says which (cut_none: the run ended by its method's own rule, or
// at report_pass_limit).
void lab_run_cut(int method, double u, double r, double i_s,
                 const method_start *start, const lab_cut *cut, pass_hook hook,
                 void *context, method_end *end, int *kind);

// Bisection's passes a priori until its interval, width wide at the start,
// is at most tol wide: ceil(log2(width / tol)), counted by halving width as
// bisection does (exact down to the subnormals); -1 where width is not a
// finite positive number or tol not a number from 0 up.
int lab_bisection_a_priori(double width, double tol);

#endif // LAB_CUT_H_
