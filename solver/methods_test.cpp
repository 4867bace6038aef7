// The methods on the circuits whose runs are known: method x circuit x
// expected passes, ending and last estimate, one row each; then each
// remedy's definition, pass by pass, on random circuits. A failing row
// names the method and the circuit.
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "root/root.h"
#include "solver/equation.h"
#include "solver/method.h"

// What the last estimate must be: near the root (within the circuit's
// bounds), the double nearest the true root, exactly 0, inf, nan, or
// finite above or below 0.
enum last_kind {
    near_root,
    at_root,
    exactly_zero,
    is_inf,
    is_nan,
    above,
    below
};
static const char *const last_words[] = {
    "near the root", "the double nearest I*", "0", "inf", "nan", "above 0",
    "below 0"};

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
static const circuit low = {
    "0.3 V, 1 kOhm, 1e-16 A", 0.3, 1e3, 1e-16, 1e-11, 1.1e-11};
static const circuit level = {"180.4186409392071 V, 1 kOhm, 1.17e-16 A",
                              180.4186409392071,
                              1000,
                              1.1671161911100662e-16,
                              0.179,
                              0.18};

struct method_case {
    char letter;
    const circuit *at;
    int passes; // 0: any number
    int ending; // -1: any
    int last;
    int cycle;  // at the limit: 1 cycles, +2 its last two estimates are
                // close; 0 neither, -1 either
    int a_zero; // the lower end a at the end: 1 still 0, 0 moved, -1 either
};

static const method_case cases[] = {
    {'H', &reference, 55, ending_repeat, near_root, -1, -1},
    {'R', &reference, 17, ending_repeat, at_root, -1, 1},
    {'N', &reference, 4, ending_repeat, at_root, -1, -1},
    {'S', &reference, 4, ending_zero, at_root, -1, -1},
    {'I', &reference, 7, ending_zero, at_root, -1, -1},
    {'P', &reference, 5, ending_zero, at_root, -1, -1},
    {'A', &reference, 5, ending_zero, at_root, -1, -1},
    {'G', &reference, 4, ending_repeat, at_root, -1, -1},
    {'B', &reference, 6, ending_tolerance, near_root, -1, -1},
    {'H', &alternates, 0, ending_repeat, near_root, -1, -1},
    {'R', &alternates, 0, ending_repeat, near_root, -1, 0},
    {'N', &alternates, 200, ending_limit, near_root, 3, -1},
    {'G', &alternates, 5, ending_repeat, near_root, -1, -1},
    {'P', &alternates, 6, ending_neighbours, near_root, -1, -1},
    {'A', &alternates, 5, ending_neighbours, near_root, -1, -1},
    {'B', &alternates, 5, ending_tolerance, near_root, -1, -1},
    {'H', &creeps, 0, ending_repeat, near_root, -1, -1},
    {'R', &creeps, 200, ending_limit, near_root, 0, 1},
    {'N', &creeps, 0, ending_repeat, near_root, -1, -1},
    {'I', &creeps, 11, ending_zero, near_root, -1, -1},
    {'P', &creeps, 11, ending_zero, near_root, -1, -1},
    {'A', &creeps, 10, ending_zero, near_root, -1, -1},
    {'S', &creeps, 8, ending_zero, at_root, -1, -1},
    {'B', &creeps, 8, ending_zero, near_root, -1, -1},
    {'G', &creeps, 7, ending_repeat, near_root, -1, -1},
    {'N', &low, 200, ending_limit, is_nan, 0, -1},
    {'S', &low, 200, ending_limit, is_nan, 0, -1},
    {'G', &low, 31, -1, near_root, -1, -1},
    {'B', &low, 30, -1, near_root, -1, -1},
    {'I', &low, 19, -1, near_root, -1, -1},
    {'P', &low, 17, -1, near_root, -1, -1},
    {'A', &low, 14, -1, near_root, -1, -1},
    {'H', &no_voltage, 2, ending_repeat, exactly_zero, -1, -1},
    {'R', &no_voltage, 200, ending_limit, is_nan, 0, 1},
    {'N', &no_voltage, 2, ending_repeat, exactly_zero, -1, -1},
    {'S', &no_voltage, 200, ending_limit, is_nan, 0, -1},
    {'I', &no_voltage, 200, ending_limit, is_nan, 0, -1},
    {'P', &no_voltage, 200, ending_limit, is_nan, 0, -1},
    {'A', &no_voltage, 200, ending_limit, is_nan, 0, -1},
    {'G', &no_voltage, 1, ending_repeat, exactly_zero, -1, -1},
    {'B', &no_voltage, 1, ending_tolerance, exactly_zero, -1, -1},
    {'H', &no_resistance, 2, ending_repeat, is_inf, -1, -1},
    {'R', &no_resistance, 200, ending_limit, is_nan, 0, -1},
    {'N', &no_resistance, 200, ending_limit, is_nan, 0, -1},
    {'H', &no_saturation, 200, ending_limit, above, 0, -1},
    {'R', &no_saturation, 200, ending_limit, is_nan, 0, -1},
    {'N', &no_saturation, 200, ending_limit, is_nan, 0, -1},
    {'H', &negative, 200, ending_limit, below, 0, -1},
    {'S', &level, 4, ending_level, at_root, -1, -1},
};

// Keeps the last report line of a run.
static void keep(const report_line *line, void *context)
{
    *static_cast<report_line *>(context) = *line;
}

static int holds(int kind, double x, const circuit *c)
{
    true_root root;
    switch (kind) {
    case near_root: return x > c->lo && x < c->hi;
    case at_root:
        root_find(c->u, c->r, c->i_s, &root);
        return root.exists && x == root.nearest;
    case exactly_zero: return x == 0.0;
    case is_inf: return std::isinf(x);
    case is_nan: return std::isnan(x);
    case above: return std::isfinite(x) && x > 0.0;
    default: return std::isfinite(x) && x < 0.0;
    }
}

// The value of a method's own state that its record names name (NaN where
// it names none): the test reads the states as the page does.
static double field(const method_state *s, const char *name)
{
    const method_def *def = method_table[s->method];
    for (int k = 0; k < def->field_count; ++k)
        if (strcmp(def->fields[k].name, name) == 0)
            return method_field_value(s, &def->fields[k]);
    return std::nan("");
}

// Whether two residuals have the same sign (both numbers, neither 0).
static int same_sign(double x, double y)
{
    return (x > 0.0 && y > 0.0) || (x < 0.0 && y < 0.0);
}

// Each remedy's definition after every pass, and that it ends before pass
// 200, on random circuits with U from 1e-6 to 1e6 V, R from 1e-6 to 1e12
// Ohm and I_S from 1e-30 to 1 A: regula falsi and the interval remedies
// keep their ends' residual signs apart (Brent those of b and c), Newton
// kept inside an interval never leaves it, Brent's b has the smaller
// residual of b and c, and the secant ends horizontal exactly when its last
// two residuals are equal (unless a repeat or a zero residual ended it
// first). Returns the number of runs that broke a rule.
static int definitions(int circuits)
{
    srand(20261210);
    auto spread = [](double lo, double hi) {
        double t = static_cast<double>(rand()) / RAND_MAX;
        return std::pow(10.0, lo + (hi - lo) * t);
    };
    int broken = 0;
    for (int k = 0; k < circuits; ++k) {
        double u = spread(-6, 6), r = spread(-6, 12), i_s = spread(-30, 0);
        for (const char *p = "RIPAGBS"; *p != '\0'; ++p) {
            method_state s;
            method_begin(&s, method_by_letter(*p), u, r, i_s, nullptr);
            const char *rule = nullptr;
            for (int stop = 0; rule == nullptr && !stop;) {
                stop = method_pass(&s);
                double a = field(&s, "a"), b = field(&s, "b");
                double fa = *p == 'G' ? f(u, r, i_s, a) : field(&s, "fa");
                double fb = *p == 'G' ? f(u, r, i_s, b) : field(&s, "fb");
                double fc = field(&s, "fc");
                int bracket = *p != 'S'; // the secant keeps no interval
                if (bracket &&
                    (*p == 'B' ? same_sign(fb, fc) : same_sign(fa, fb)))
                    rule = "the ends' residuals have one sign";
                else if (*p == 'G' &&
                         (s.est < std::fmin(a, b) || s.est > std::fmax(a, b)))
                    rule = "the estimate left the interval";
                else if (*p == 'B' && std::fabs(fb) > std::fabs(fc))
                    rule = "b has the larger residual";
                else if (*p == 'S' &&
                         (s.ending == ending_level) !=
                             (fa == fb && s.ending != ending_repeat &&
                              s.ending != ending_zero))
                    rule = "horizontal, or not, against its residuals";
            }
            if (rule == nullptr && *p != 'R' && *p != 'S' &&
                s.ending == ending_limit)
                rule = "it reached the limit";
            if (rule != nullptr) {
                printf("FAIL %s at %.17g V, %.17g Ohm, %.17g A, pass %llu: "
                       "%s\n",
                       method_table[s.method]->name, u, r, i_s,
                       static_cast<unsigned long long>(s.n), rule);
                ++broken;
            }
        }
    }
    printf("%d random circuits checked pass by pass\n", circuits);
    return broken;
}

static const double not_a_number = std::nan("");

// Doubles apart, by their places in the order of all doubles.
struct apart_case {
    double a, b;
    int most, within;
};
static const apart_case apart_cases[] = {
    {1.0, 1.0, 0, 1},
    {0.0, -0.0, 0, 1},
    {1.0, 1.0 + 0x1p-52, 0, 0},
    {1.0 + 4 * 0x1p-52, 1.0, 4, 1},
    {1.0 + 5 * 0x1p-52, 1.0, 4, 0},
    {1.0 - 0x1p-53, 1.0 + 0x1p-52, 2, 1}, // across a power of two
    {-0x1p-1074, 0x1p-1074, 2, 1},        // across zero
    {-0x1p-1074, 0x1p-1074, 1, 0},
    {-HUGE_VAL, HUGE_VAL, 4, 0},
    {not_a_number, not_a_number, 4, 0},
};

// Every record is whole: a letter, name and colour ("#rrggbb") of its own,
// a mark of its own that can be drawn, stop tests, and its state within
// the room for it. Returns the number of faults.
static int drawable(const method_mark &k)
{
    int outline = k.corners == 0 || (k.corners >= 3 && k.corners <= 12);
    int strokes = k.corners >= 4 && k.corners % 2 == 0 && !k.filled;
    return (k.star ? strokes : outline) && k.size >= 0.5 && k.size <= 2 &&
           k.gnuplot >= 1 && k.gnuplot <= 15;
}
static int same_mark(const method_mark &k, const method_mark &l)
{
    return k.gnuplot == l.gnuplot ||
           (k.corners == l.corners && k.star == l.star &&
            k.filled == l.filled && (k.corners == 0 || k.turn == l.turn));
}
static int records()
{
    int faults = 0;
    for (int m = 0; m < method_count; ++m) {
        const method_def *d = method_table[m];
        const char *fault = nullptr;
        if (d->name == nullptr || d->colour == nullptr ||
            strlen(d->colour) != 7 || d->colour[0] != '#' ||
            strspn(d->colour + 1, "0123456789abcdef") != 6)
            fault = "no name or no colour #rrggbb";
        else if (!drawable(d->mark))
            fault = "a mark that cannot be drawn";
        else if (d->stop_count < 1 || d->state_size > method_own_size)
            fault = "no stop test, or a state beyond its room";
        for (int o = 0; o < m && fault == nullptr; ++o)
            if (method_table[o]->letter == d->letter ||
                same_mark(method_table[o]->mark, d->mark) ||
                strcmp(method_table[o]->colour, d->colour) == 0)
                fault = "a letter, mark or colour another method has";
        if (fault != nullptr) {
            printf("FAIL the record of %c: %s\n", d->letter, fault);
            ++faults;
        }
    }
    return faults;
}

int main()
{
    int failed = records() + definitions(2000) != 0;
    for (const apart_case &t : apart_cases)
        if (method_within_doubles(t.a, t.b, t.most) != t.within) {
            printf("FAIL within %d doubles: %a and %a\n", t.most, t.a, t.b);
            failed = 1;
        }
    for (const method_case &t : cases) {
        int m = method_by_letter(t.letter);
        const circuit *c = t.at;
        method_end end;
        report_line last = {};
        method_run(m, c->u, c->r, c->i_s, nullptr, keep, &last, &end);
        const char *name = method_table[m]->name;
        int ok =
            (t.passes == 0 || end.passes == static_cast<uint64_t>(t.passes)) &&
            (t.ending < 0 || end.ending == t.ending) &&
            holds(t.last, end.last, c) &&
            (t.cycle < 0 || end.cycle + 2 * end.close == t.cycle) &&
            (t.a_zero < 0 || (last.a == 0.0) == t.a_zero);
        if (!ok) {
            printf("FAIL %s at %s: %llu passes, %s, last %.17g, cycle %d, "
                   "a = %g; expected %d passes (0: any), %s, last %s, cycle "
                   "%d, a = 0: %d\n",
                   name, c->name, static_cast<unsigned long long>(end.passes),
                   method_ending_names[end.ending], end.last,
                   end.cycle + 2 * end.close, last.a, t.passes,
                   t.ending < 0 ? "any" : method_ending_names[t.ending],
                   last_words[t.last], t.cycle, t.a_zero);
            failed = 1;
        }
    }
    printf("%zu method runs checked\n", sizeof cases / sizeof cases[0]);
    return failed;
}
