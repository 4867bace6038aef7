// The methods on the circuits whose runs are known: method x circuit x
// expected passes, ending and last estimate, one row each. A failing row
// names the method and the circuit.
#include <cmath>
#include <cstdio>

#include "solver/method.h"

// What the last estimate must be: near the root (within the circuit's
// bounds), exactly 0, inf, nan, or finite above or below 0.
enum last_kind { near_root, exactly_zero, is_inf, is_nan, above, below };
static const char *const last_words[] = {"near the root", "0",       "inf",
                                         "nan",           "above 0", "below 0"};

struct circuit {
    const char *name;
    double u, r, i_s;
    double lo, hi; // bounds of the root, where it is known
};

static const circuit reference = {
    "5 V, 1 kOhm, 1 pA", 5, 1e3, 1e-12, 0.00442, 0.00443};
static const circuit alternates = {
    "12 V, 4.7 kOhm, 2 nA", 12, 4.7e3, 2e-9, 0.00247, 0.00248};
static const circuit creeps = {
    "0.7 V, 100 Ohm, 1e-14 A", 0.7, 100, 1e-14, 0.00056, 0.00057};
static const circuit no_voltage = {"U = 0", 0, 1e3, 1e-12, 0, 0};
static const circuit no_resistance = {"R = 0", 5, 0, 1e-12, 0, 0};
static const circuit no_saturation = {"I_S = 0", 5, 1e3, 0, 0, 0};
static const circuit negative = {"U = -5 V", -5, 1e3, 1e-12, 0, 0};

struct method_case {
    char letter;
    const circuit *at;
    int passes; // 0: any number
    int ending;
    int last;
    int cycle;  // at the limit: 1 cycles, 0 does not, -1 either
    int a_zero; // the lower end a at the end: 1 still 0, 0 moved, -1 either
};

static const method_case cases[] = {
    {'H', &reference, 55, ending_repeat, near_root, -1, -1},
    {'R', &reference, 17, ending_repeat, near_root, -1, 1},
    {'N', &reference, 4, ending_repeat, near_root, -1, -1},
    {'H', &alternates, 0, ending_repeat, near_root, -1, -1},
    {'R', &alternates, 0, ending_repeat, near_root, -1, 0},
    {'N', &alternates, 200, ending_limit, near_root, 1, -1},
    {'H', &creeps, 0, ending_repeat, near_root, -1, -1},
    {'R', &creeps, 200, ending_limit, near_root, 0, 1},
    {'N', &creeps, 0, ending_repeat, near_root, -1, -1},
    {'H', &no_voltage, 2, ending_repeat, exactly_zero, -1, -1},
    {'R', &no_voltage, 200, ending_limit, is_nan, 0, 1},
    {'N', &no_voltage, 2, ending_repeat, exactly_zero, -1, -1},
    {'H', &no_resistance, 2, ending_repeat, is_inf, -1, -1},
    {'R', &no_resistance, 200, ending_limit, is_nan, 0, -1},
    {'N', &no_resistance, 200, ending_limit, is_nan, 0, -1},
    {'H', &no_saturation, 200, ending_limit, above, 0, -1},
    {'R', &no_saturation, 200, ending_limit, is_nan, 0, -1},
    {'N', &no_saturation, 200, ending_limit, is_nan, 0, -1},
    {'H', &negative, 200, ending_limit, below, 0, -1},
};

// Keeps the last report line of a run.
static void keep(const report_line *line, void *context)
{
    *static_cast<report_line *>(context) = *line;
}

static int holds(int kind, double x, const circuit *c)
{
    switch (kind) {
    case near_root: return x > c->lo && x < c->hi;
    case exactly_zero: return x == 0.0;
    case is_inf: return std::isinf(x);
    case is_nan: return std::isnan(x);
    case above: return std::isfinite(x) && x > 0.0;
    default: return std::isfinite(x) && x < 0.0;
    }
}

int main()
{
    int failed = 0;
    for (const method_case &t : cases) {
        int m = method_by_letter(t.letter);
        const circuit *c = t.at;
        method_end end;
        report_line last = {};
        method_run(m, c->u, c->r, c->i_s, nullptr, keep, &last, &end);
        const char *name = method_table[m]->name;
        int ok =
            (t.passes == 0 || end.passes == static_cast<uint64_t>(t.passes)) &&
            end.ending == t.ending && holds(t.last, end.last, c) &&
            (t.cycle < 0 || end.cycle == t.cycle) &&
            (t.a_zero < 0 || (last.a == 0.0) == t.a_zero);
        if (!ok) {
            printf("FAIL %s at %s: %llu passes, %s, last %.17g, cycle %d, "
                   "a = %g; expected %d passes (0: any), %s, last %s, cycle "
                   "%d, a = 0: %d\n",
                   name, c->name, static_cast<unsigned long long>(end.passes),
                   method_ending_names[end.ending], end.last, end.cycle, last.a,
                   t.passes, method_ending_names[t.ending], last_words[t.last],
                   t.cycle, t.a_zero);
            failed = 1;
        }
    }
    printf("%zu method runs checked\n", sizeof cases / sizeof cases[0]);
    return failed;
}
