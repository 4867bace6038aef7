// Stopping criteria beside the exact rules: the cut of a run.
#include "lab/cut.h"

#include <cmath>

const char *const lab_cut_words[lab_cut_kinds] = {"", "Schritt<=T",
                                                  "Residuum<=T", "Hoechstzahl"};

lab_cut lab_cut_none()
{
    return lab_cut{std::nan(""), std::nan(""), 0};
}

int lab_bisection_a_priori(double width, double tol)
{
    if (!(width > 0.0) || !std::isfinite(width) || !(tol >= 0.0))
        return -1;
    int n = 0;
    for (double w = width; w > tol; w /= 2.0)
        ++n; // at most about 2100 halvings: then w is 0
    return n;
}

int lab_cut_given(const lab_cut *cut)
{
    return !std::isnan(cut->step) || !std::isnan(cut->residual) ||
           cut->limit != 0;
}

int lab_cut_met(const lab_cut *cut, const report_line *line, double before)
{
    // A comparison with NaN is false: a bound not given, or a value not a
    // number, meets nothing.
    if (line->pass >= 2 && std::fabs(line->i - before) <= cut->step)
        return cut_step;
    if (std::fabs(line->delta) <= cut->residual)
        return cut_residual;
    if (cut->limit != 0 && line->pass >= cut->limit)
        return cut_limit;
    return cut_none;
}

// Ends the run after the first pass that meets a criterion, and keeps
// which one.
struct cutting {
    const lab_cut *cut;
    int kind;
};

static int until(const report_line *line, double before, void *context)
{
    cutting *c = static_cast<cutting *>(context);
    c->kind = lab_cut_met(c->cut, line, before);
    return c->kind != cut_none;
}

void lab_run_cut(int method, double u, double r, double i_s,
                 const method_start *start, const lab_cut *cut, pass_hook hook,
                 void *context, method_end *end, int *kind)
{
    cutting c = {cut, cut_none};
    method_run_until(method, u, r, i_s, start, hook, context, until, &c, end);
    *kind = c.kind;
}
