// The methods that seek the root of the mesh equation (solver/equation.h),
// each one record in the table of methods (solver/methods.cpp): its letter,
// German name, colour, kind, report format, start and pass rule. Everything
// that lists, runs, draws or counts methods reads the table.
//
// A run: method_begin() sets the start, method_pass() runs one pass (one new
// estimate, its report line, the stop test), method_finish() tells how the
// run ended. Every step is one rounded binary64 operation in the order its
// method's file gives, so estimates and pass counts are exact.
#ifndef SOLVER_METHOD_H_
#define SOLVER_METHOD_H_

#include <cstdint>

#include "solver/report.h"

// An interval method keeps the root between two ends; an open one does not.
enum method_kind { method_interval, method_open };

// The map's lanes that run a method side by side (map/lanes.cpp), or none.
enum method_lane { lane_none, lane_bisection, lane_falsi, lane_newton };

// How a run ended: the stop rule that held after its last pass. All but
// the limit end before pass report_pass_limit, or at it at the latest.
enum method_ending {
    ending_none,       // still running
    ending_repeat,     // the estimate repeats exactly
    ending_zero,       // its residual is exactly 0
    ending_neighbours, // no double lies between the interval's ends
    ending_tolerance,  // Brent's own test
    ending_level,      // the secant's last two residuals are equal
    ending_limit,      // pass report_pass_limit
    method_endings
};
// "Wiederholung", "Residuum 0", "Nachbarn", "Toleranz", "Waagerecht",
// "Grenze": the words the CSV and the comparisons use.
extern const char *const method_ending_names[method_endings];

// Where a run starts: the interval [a, b] and the start x of the methods
// that start from one point.
struct method_start {
    double a;
    double b;
    double x;
};

// The default: [0, U / R], x = U / R.
void method_default_start(double u, double r, method_start *start);

// The mark of a method's passes in pictures, so that they stay apart
// where colour fails: filled or open circle, square, diamond, pentagon,
// and a star.
enum method_shape {
    shape_circle,
    shape_square,
    shape_diamond,
    shape_pentagon,
    shape_open_circle,
    shape_open_square,
    shape_open_diamond,
    shape_open_pentagon,
    shape_star
};

// The endings a method can have, as a set of bits 1 << method_ending.
#define METHOD_ENDS(ending) (1u << (ending))

// The start values a method needs, as a set of bits: an interval whose ends
// bracket the root (a sign change of f), two start points (the interval's
// ends, any signs), one start point x.
enum method_needs { needs_bracket = 1, needs_points = 2, needs_x = 4 };

struct method_state;

// A method's record.
struct method_def {
    char letter;              // opens its report lines: 'H'
    const char *name;         // "Halbierung"
    const char *colour;       // "#rrggbb" in pictures
    enum method_shape shape;  // its mark in pictures
    enum method_kind kind;    // interval or open
    unsigned endings;         // the endings it can have: METHOD_ENDS(...) | ...
    enum report_kind shown;   // its report line's format
    const char *const *words; // report_ends_word: the words it may show
    enum method_lane lane;    // lanes in the map, or lane_none
    int first_stop;           // the first pass after which it can stop
    unsigned needs;           // its start values: method_needs bits
    // Its order of convergence at a simple root, as the literature gives
    // it ("1.618"), and whether its observed order is measured on its
    // interval's width instead of the error (bisection's error jumps).
    const char *order;
    int order_by_width;
    // Sets the method's own start on s (the circuit, the start values and
    // the common fields are set).
    void (*begin)(method_state *s, const method_start *start);
    // A pass in two halves around its one residual: prepare sets point,
    // where the pass evaluates f; take, with the residual d there, sets the
    // new estimate into est (the one before into prev), the report line
    // into line, counts the pass in n and sets ending when the method stops
    // after it. (The map takes the logarithms of several circuits between
    // the two.)
    void (*prepare)(method_state *s);
    void (*take)(method_state *s, double d);
};

// The table of methods: their records, in the order the user sees them.
// Each record stands in its method's file (one file per method or family).
#define METHOD_TABLE(F)                                                        \
    F(method_halbierung)                                                       \
    F(method_regula_falsi)                                                     \
    F(method_newton)                                                           \
    F(method_sekante)                                                          \
    F(method_illinois)                                                         \
    F(method_pegasus)                                                          \
    F(method_anderson_bjoerck)                                                 \
    F(method_newton_intervall)                                                 \
    F(method_brent)

#define METHOD_DECLARE(record) extern const method_def record;
METHOD_TABLE(METHOD_DECLARE)
#undef METHOD_DECLARE
#define METHOD_COUNT(record) +1
enum { method_count = 0 METHOD_TABLE(METHOD_COUNT) };
#undef METHOD_COUNT
extern const method_def *const method_table[method_count];

// The index of the method whose letter is letter, or -1.
int method_by_letter(char letter);

// Where one method stands in its run on one circuit. a and b are the ends
// of the interval (bisection's lo and hi) with their residuals fa and fb,
// where the method keeps them; est is the estimate of the last pass (where
// Newton starts its next pass), prev the one before; point is where the
// last pass evaluated f, slope the slope it took there (0 for methods
// without one). c and fc are Brent's other end; step is the last step and
// step_before the one before it (Brent's d and e, the guarded Newton's h
// and e); side is the end the Illinois family moved in the pass before,
// scaled the end whose residual the last pass scaled (both: 0 none, 1 a,
// 2 b) and factor the factor it scaled by; rule which of the guarded
// Newton's rules put the midpoint in place of Newton's point (bits: 1 it
// lay not strictly inside the interval, 2 its step was too long).
struct method_state {
    int method; // its index in method_table
    double u, r, i_s;
    double a, b, fa, fb;
    double est, prev;
    double point, slope;
    double c, fc, step, step_before;
    int side, scaled;
    double factor;
    int rule;
    uint64_t n; // the pass counter, 64 bits wherever compiled
    int ending; // method_ending
    report_line line;
};

void method_begin(method_state *s, int method, double u, double r, double i_s,
                  const method_start *start);

// Runs the next pass. Returns 1 when the method stops after it (s->ending
// says why).
int method_pass(method_state *s);

// The stop rule of bisection, regula falsi and Newton after pass n with
// estimate next, the one before being prev: an exact repeat (never in pass
// 1; NaN never repeats), or the pass limit. Without jumps, for the lanes.
inline int method_repeat_or_limit(uint64_t n, double next, double prev)
{
    return ((n > 1) & (next == prev)) | (n == report_pass_limit);
}

// Counts the pass in *n and takes its new estimate next; returns 1 when
// the rule above stops the method.
inline int method_advance(uint64_t *n, double next, double *est, double *prev)
{
    *prev = *est;
    *est = next;
    return method_repeat_or_limit(++*n, next, *prev);
}

// Why the rule above stopped a method: a repeat, else the limit.
inline int method_repeat_ending(uint64_t n, double est, double prev)
{
    return n > 1 && est == prev ? ending_repeat : ending_limit;
}

// Whether no double lies strictly between a and b (also when a == b;
// never when either is not a number).
int method_neighbours(double a, double b);

// Whether a and b are at most most doubles apart (0: equal; 1: neighbours),
// -0 and +0 counting as one; never when either is not a number.
int method_within_doubles(double a, double b, int most);

// A run at the limit whose last two estimates are at most this many doubles
// apart has come as near its root as the arithmetic lets it.
enum { method_close_doubles = 4 };

// The stop rules of the remedies after pass n, in their order: a repeat
// (repeat, which each method tests its own way), a residual d of exactly 0
// (where zero_rule), no double between the ends a and b (where
// neighbours_rule), the limit. Returns the ending, or ending_none.
int method_remedy_ending(uint64_t n, int repeat, int zero_rule, double d,
                         int neighbours_rule, double a, double b);

// How a method's run ended: the number of its last pass, the ending, its
// last estimate, and, at the limit with a finite estimate, whether it then
// cycles (one more pass would give back the estimate before the last: it
// alternates between two values) and whether its last two estimates are
// close (at most method_close_doubles doubles apart).
struct method_end {
    uint64_t passes;
    int ending;
    int cycle;
    int close;
    double last;
};

void method_finish(const method_state *s, method_end *end);

// Called after every pass with its report line.
typedef void (*pass_hook)(const report_line *line, void *context);

// Runs method on the circuit from start (null: the default) to its stop,
// hands every pass to hook (unless null) and stores how it ended in *end.
void method_run(int method, double u, double r, double i_s,
                const method_start *start, pass_hook hook, void *context,
                method_end *end);

// diodesolve's three methods, by their German names: each runs its method
// on the circuit U, R, I_S from the default start, as method_run does.
void halbierung(double u, double r, double i_s, pass_hook hook, void *context,
                method_end *end);
void regula_falsi(double u, double r, double i_s, pass_hook hook, void *context,
                  method_end *end);
void newton(double u, double r, double i_s, pass_hook hook, void *context,
            method_end *end);

#endif // SOLVER_METHOD_H_
