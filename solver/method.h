// The methods that seek the root of the mesh equation (solver/equation.h),
// each one record in the table of methods, defined in its own file in
// solver/methods/: its letter, German name, colour, mark, kind, report
// format, start values, stop tests, the state it keeps and its pass rule.
// Everything that lists, runs, draws or counts methods reads the table.
//
// A run: method_begin() sets the start, method_pass() runs one pass (one new
// estimate, its report line, the stop tests), method_finish() tells how the
// run ended. Every step is one rounded binary64 operation in the order its
// method's file gives, so estimates and pass counts are exact.
#ifndef SOLVER_METHOD_H_
#define SOLVER_METHOD_H_

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <new>
#include <type_traits>

#include "solver/equation.h"
#include "solver/report.h"
#include "solver/stop.h"

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
    ending_level,      // the last two residuals are equal (horizontal secant)
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

// The mark of a method's passes in pictures, so that methods stay apart
// where colour fails: a circle (corners 0) or a regular polygon of so many
// corners, its first corner at turn degrees (0 points right, -90 up on a
// screen), size times the circle's radius from the centre, filled or open;
// or, star set, corners / 2 strokes through the centre. gnuplot draws the
// same as its point type. No two methods share a mark (the methods test).
struct method_mark {
    int corners;
    double turn;
    double size;
    int filled;
    int star;
    int gnuplot; // gnuplot's point type
};

// The start values a method needs, as a set of bits: an interval whose ends
// bracket the root (a sign change of f), two start points (the interval's
// ends, any signs), one start point x.
enum method_needs { needs_bracket = 1, needs_points = 2, needs_x = 4 };

// A value of a method's own state that the page shows: its name, its unit
// ("A", "V", "V/A" or "" for none) and where it lies in the state.
struct method_field {
    const char *name;
    const char *unit;
    size_t offset;
    int integer; // an int, else a double
};
#define METHOD_FIELD(state, member, unit)                                      \
    {                                                                          \
#member, unit, offsetof(state, member),                                \
            std::is_integral < decltype(state::member)> ::value                \
    }

struct method_state;

// A method's record.
struct method_def {
    char letter;              // opens its report lines: 'H'
    const char *name;         // "Halbierung"
    const char *colour;       // "#rrggbb" in pictures
    method_mark mark;         // its mark in pictures
    enum method_kind kind;    // interval or open
    enum report_kind shown;   // its report line's format
    int delta_at_start;       // Delta is f where the pass started (Newton's)
    const char *const *words; // report_ends_word: the words it may show
    enum method_lane lane;    // lanes in the map, or lane_none
    int first_stop;           // the first pass after which it can stop
    unsigned needs;           // its start values: method_needs bits
    // Its order of convergence at a simple root, as the literature gives
    // it ("1.618"), and whether its observed order is measured on its
    // interval's width instead of the error (bisection's error jumps).
    const char *order;
    int order_by_width;
    // Its stop tests, in the order they are tried.
    const method_stop *stops;
    int stop_count;
    // Its own state's size, checked against method_own_size where it is
    // defined, and the values of it that the page shows.
    size_t state_size;
    const method_field *fields;
    int field_count;
    // Sets the method's own start on s (the circuit, the start values and
    // the common fields are set).
    void (*begin)(method_state *s, const method_start *start);
    // A pass around its residuals: prepare sets point, where the pass
    // evaluates f first; take, with the residual d there, returns 0 when
    // the pass needs f at a further point (then in point), else 1 with the
    // pass done: the new estimate in est (the one before in prev), the
    // report line in line, the pass counted in n, and ending set where the
    // method stops after it. (The map takes the logarithms of several
    // circuits between the two.)
    void (*prepare)(method_state *s);
    int (*take)(method_state *s, double d);
    // The values of a pass that its own state does not keep but the page
    // shows (where the next secant would meet the axis without a scaling,
    // say): their names and units, and how they follow from the state the
    // pass found (before) and the state it left (after). Null for none.
    const method_field *derived;
    int derived_count;
    void (*derive)(const method_state *before, const method_state *after,
                   double *values);
};

// The table of methods: their records, in the order the user sees them.
// Each record stands in its method's file (one file per method or family,
// in solver/methods/).
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

// The number of entries of an array, for the counts in the records.
#define METHOD_COUNT_OF(array)                                                 \
    static_cast<int>(sizeof(array) / sizeof((array)[0]))

// An array and its count, as a record lists them (and method_pass_done
// takes a list of stops); a record without derived values.
#define METHOD_LIST(array) array, METHOD_COUNT_OF(array)
#define METHOD_NOTHING_DERIVED nullptr, 0, nullptr

// The letters of the table in its order, terminated.
void method_letters(char letters[method_count + 1]);

// The endings a method can have, as a set of bits 1 << method_ending: its
// stop tests' endings.
unsigned method_endings_of(const method_def *def);

// The room for a method's own state, in bytes.
enum { method_own_size = 96 };

// Where one method stands in its run on one circuit: the circuit, the pass
// counter, how it ended, the estimate of the last pass (est; where Newton
// starts its next pass) and the one before (prev), where the pass
// evaluates f (point), the last pass's report line, and the method's own
// state, which only its file reads (method_make, method_own).
struct method_state {
    int method; // its index in method_table
    double u, r, i_s;
    uint64_t n; // the pass counter, 64 bits wherever compiled
    int ending; // method_ending
    double est, prev;
    double point;
    report_line line;
    // The evaluations of f and of f' so far (evaluations[0], [1]), and of
    // f the start values needed (begin's).
    uint64_t evaluations[2];
    uint64_t start_evaluations;
    alignas(double) unsigned char own[method_own_size];
};

// f and f' at x on s's circuit, each evaluation counted in s (where a
// method evaluates them itself: its start values, Newton's slope).
inline double method_f(method_state *s, double x)
{
    ++s->evaluations[0];
    return f(s->u, s->r, s->i_s, x);
}
inline double method_dfdx(method_state *s, double x)
{
    ++s->evaluations[1];
    return dfdx(s->u, s->r, s->i_s, x);
}

// One pass's residual d at s->point, handed to the method's take: returns
// what take returns (0: it needs f at a further point). Counted in s.
inline int method_take(method_state *s, double d)
{
    ++s->evaluations[0];
    return method_table[s->method]->take(s, d);
}

// A method's own state of type T in s: made by method_make (in its begin),
// then read and changed in place through method_own. A plain struct, so
// that a copy of the run's state copies it whole.
template <typename T> inline T *method_make(method_state *s, const T &state)
{
    static_assert(sizeof(T) <= method_own_size, "room for the state");
    static_assert(alignof(T) <= alignof(double), "aligned as the room is");
    static_assert(std::is_trivially_copyable<T>::value, "a plain state");
    return new (s->own) T(state);
}
template <typename T> inline T *method_own(method_state *s)
{
    return std::launder(reinterpret_cast<T *>(s->own));
}
template <typename T> inline const T *method_own(const method_state *s)
{
    return std::launder(reinterpret_cast<const T *>(s->own));
}

// Field k of the method's own state, as a double.
double method_field_value(const method_state *s, const method_field *field);

void method_begin(method_state *s, int method, double u, double r, double i_s,
                  const method_start *start);

// Runs the next pass. Returns 1 when the method stops after it (s->ending
// says why).
int method_pass(method_state *s);

// Ends a pass: counts it in s, takes its new estimate next (prev: the one
// before), tries the count stops (the method's own constexpr list, which
// its record names) on facts (n, next and prev filled in here) and sets
// s->ending, and keeps its report line (method and pass filled in here,
// the rest from line). Returns 1: the pass is done. A template, so that
// the stop tests run inline.
template <const method_stop *stops, int count>
inline int method_pass_done(method_state *s, double next, report_line line,
                            stop_facts *facts)
{
    s->prev = s->est;
    s->est = next;
    facts->n = ++s->n;
    facts->next = next;
    facts->prev = s->prev;
    s->ending = stop_first_of<stops, count>(facts);
    line.method = s->method;
    line.pass = s->n;
    s->line = line;
    return 1;
}

// The stop rule of bisection, regula falsi and Newton after pass n with
// estimate next, the one before being prev, as stop_repeat and stop_limit
// give it, without jumps, for the lanes.
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

// Whether a and b are at most most doubles apart (0: equal; 1: neighbours),
// -0 and +0 counting as one; never when either is not a number.
int method_within_doubles(double a, double b, int most);

// A run at the limit whose last two estimates are at most this many doubles
// apart has come as near its root as the arithmetic lets it.
enum { method_close_doubles = 4 };

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
    uint64_t evaluations[2]; // of f and f', the start's included
    uint64_t start_evaluations;
};

void method_finish(const method_state *s, method_end *end);

// Called after every pass with its report line.
typedef void (*pass_hook)(const report_line *line, void *context);

// Runs method on the circuit from start (null: the default) to its stop,
// hands every pass to hook (unless null) and stores how it ended in *end.
void method_run(int method, double u, double r, double i_s,
                const method_start *start, pass_hook hook, void *context,
                method_end *end);

// Called after every pass that its method's rules do not end, with its
// report line and the estimate of the pass before (before pass 1: the
// start); a nonzero return ends the run there, its ending left none.
typedef int (*pass_until)(const report_line *line, double before,
                          void *context);

// method_run, ending also where until (unless null) says so.
void method_run_until(int method, double u, double r, double i_s,
                      const method_start *start, pass_hook hook, void *context,
                      pass_until until, void *until_context, method_end *end);

// diodesolve's three methods, by their German names: each runs its method
// on the circuit U, R, I_S from the default start, as method_run does.
void halbierung(double u, double r, double i_s, pass_hook hook, void *context,
                method_end *end);
void regula_falsi(double u, double r, double i_s, pass_hook hook, void *context,
                  method_end *end);
void newton(double u, double r, double i_s, pass_hook hook, void *context,
            method_end *end);

#endif // SOLVER_METHOD_H_
