// Runs cut by stopping criteria against the exact runs, and each method's
// evaluations of f and f' against its definition, on 2000 random circuits
// (U from 1e-6 to 1e6 V, R from 1e-6 to 1e12 Ohm, I_S from 1e-30 to 1 A)
// and every method, with criteria drawn at random: a cut run is the exact
// run up to its last pass, and that pass is the first that meets a
// criterion (or the exact run's last, none met before).
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "lab/cut.h"

// Per method: evaluations of f for its start values, then of f and f' in
// every pass, as its definition gives them.
struct cost_case {
    char letter;
    uint64_t start, f, df;
};
static const cost_case costs[] = {
    {'H', 0, 1, 0}, // the midpoint's residual; signs from it alone
    {'R', 2, 1, 0}, // f(a), f(b), then the new point's
    {'I', 2, 1, 0}, {'P', 2, 1, 0},
    {'A', 2, 1, 0}, {'S', 2, 1, 0}, // f at both start points
    {'B', 2, 1, 0},                 // f(a), f(b)
    {'N', 0, 1, 1},                 // f and the slope where the pass starts
    {'G', 0, 1, 1},
};

struct lines {
    report_line line[report_pass_limit];
    int n;
};

static void keep(const report_line *line, void *context)
{
    lines *l = static_cast<lines *>(context);
    l->line[l->n++] = *line;
}

// The first pass of the exact run (from 1) that meets a criterion, by the
// criteria's own words; 0 for none.
static int first_met(const lines *exact, double step, double residual,
                     int limit)
{
    for (int k = 0; k < exact->n; ++k) {
        const report_line *p = &exact->line[k];
        if ((k > 0 && std::fabs(p->i - exact->line[k - 1].i) <= step) ||
            std::fabs(p->delta) <= residual || k + 1 == limit)
            return k + 1;
    }
    return 0;
}

static int same_line(const report_line *x, const report_line *y)
{
    return x->pass == y->pass && x->word == y->word &&
           memcmp(&x->i, &y->i, sizeof x->i) == 0 &&
           memcmp(&x->delta, &y->delta, sizeof x->delta) == 0 &&
           memcmp(&x->a, &y->a, sizeof x->a) == 0 &&
           memcmp(&x->b, &y->b, sizeof x->b) == 0;
}

int main()
{
    int failed = 0;
    if (sizeof costs / sizeof costs[0] != method_count) {
        printf("FAIL the costs list %zu methods, the table %d\n",
               sizeof costs / sizeof costs[0], static_cast<int>(method_count));
        failed = 1;
    }
    srand(20261211);
    auto uniform = [](double lo, double hi) {
        return lo + (hi - lo) * (static_cast<double>(rand()) / RAND_MAX);
    };
    static lines exact, cut;
    int circuits = 2000, cuts = 0;
    for (int k = 0; k < circuits; ++k) {
        double u = std::pow(10.0, uniform(-6, 6));
        double r = std::pow(10.0, uniform(-6, 12));
        double i_s = std::pow(10.0, uniform(-30, 0));
        for (const cost_case &c : costs) {
            int m = method_by_letter(c.letter);
            lab_cut criteria = lab_cut_none();
            int which = rand() % 7 + 1; // at least one criterion
            if (which & 1)
                criteria.step = std::pow(10.0, uniform(-20, -1));
            if (which & 2)
                criteria.residual = std::pow(10.0, uniform(-20, 0));
            if (which & 4)
                criteria.limit = static_cast<uint64_t>(rand() % 60 + 1);
            exact.n = cut.n = 0;
            method_end exact_end, cut_end;
            int kind = cut_none;
            method_run(m, u, r, i_s, nullptr, keep, &exact, &exact_end);
            lab_run_cut(m, u, r, i_s, nullptr, &criteria, keep, &cut, &cut_end,
                        &kind);
            int met = first_met(&exact, criteria.step, criteria.residual,
                                static_cast<int>(criteria.limit));
            int want = met != 0 ? met : exact.n;
            int same = cut.n == want;
            for (int j = 0; same && j < cut.n; ++j)
                same = same_line(&cut.line[j], &exact.line[j]);
            same = same && (kind != cut_none) == (want < exact.n);
            cuts += kind != cut_none;
            uint64_t n = cut_end.passes;
            int costs_hold = cut_end.start_evaluations == c.start &&
                             cut_end.evaluations[0] == c.start + c.f * n &&
                             cut_end.evaluations[1] == c.df * n;
            if (!same || !costs_hold) {
                printf(
                    "FAIL %c at %.17g V, %.17g Ohm, %.17g A, criteria %g "
                    "%g %d: %d passes cut (%s), expected %d of %d; f %llu "
                    "(start %llu), f' %llu\n",
                    c.letter, u, r, i_s, criteria.step, criteria.residual,
                    static_cast<int>(criteria.limit), cut.n,
                    lab_cut_words[kind], want, exact.n,
                    static_cast<unsigned long long>(cut_end.evaluations[0]),
                    static_cast<unsigned long long>(cut_end.start_evaluations),
                    static_cast<unsigned long long>(cut_end.evaluations[1]));
                failed = 1;
            }
        }
    }
    printf("%d random circuits, every method: %d runs cut\n", circuits, cuts);
    return failed;
}
