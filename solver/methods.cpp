// The three methods run from start to stop, one circuit at a time, with
// every pass handed to a hook: diodesolve's report, or nothing at all.
#include "solver/methods.h"

static void run(int method, double u, double r, double i_s, pass_hook hook,
                void *context, method_end *end)
{
    method_state s;
    method_begin(&s, method, u, r, i_s);
    int stop = 0;
    while (!stop) {
        stop = method_pass(&s);
        if (hook != nullptr) {
            report_line line = {method, s.n, s.est, s.delta, s.lo, s.hi};
            hook(&line, context);
        }
    }
    method_finish(&s, end);
}

void halbierung(double u, double r, double i_s, pass_hook hook, void *context,
                method_end *end)
{
    run(method_bisection, u, r, i_s, hook, context, end);
}

void regula_falsi(double u, double r, double i_s, pass_hook hook, void *context,
                  method_end *end)
{
    run(method_regula_falsi, u, r, i_s, hook, context, end);
}

void newton(double u, double r, double i_s, pass_hook hook, void *context,
            method_end *end)
{
    run(method_newton, u, r, i_s, hook, context, end);
}
