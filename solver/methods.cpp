// The table of methods, and their runs from start to stop, one circuit at
// a time, with every pass handed to a hook: diodesolve's report, the map's
// plain loops, the page's passes.
#include <cmath>
#include <cstdint>
#include <cstring>

#include "solver/equation.h"
#include "solver/method.h"

#define METHOD_ADDRESS(record) &record,
const method_def *const method_table[method_count] = {
    METHOD_TABLE(METHOD_ADDRESS)};
#undef METHOD_ADDRESS

const char *const method_ending_names[method_endings] = {
    "",         "Wiederholung", "Residuum 0", "Nachbarn",
    "Toleranz", "Waagerecht",   "Grenze"};

int method_by_letter(char letter)
{
    for (int k = 0; k < method_count; ++k)
        if (method_table[k]->letter == letter)
            return k;
    return -1;
}

void method_letters(char letters[method_count + 1])
{
    for (int k = 0; k < method_count; ++k)
        letters[k] = method_table[k]->letter;
    letters[method_count] = '\0';
}

unsigned method_endings_of(const method_def *def)
{
    unsigned endings = 0;
    for (int k = 0; k < def->stop_count; ++k)
        endings |= 1u << def->stops[k].ending;
    return endings;
}

double method_field_value(const method_state *s, const method_field *field)
{
    const unsigned char *at = s->own + field->offset;
    if (field->integer) {
        int v;
        memcpy(&v, at, sizeof v);
        return v;
    }
    double v;
    memcpy(&v, at, sizeof v);
    return v;
}

// Where a double lies in the order of all doubles: consecutive doubles
// have consecutive places, -0 and +0 the same.
static int64_t double_place(double x)
{
    int64_t bits;
    memcpy(&bits, &x, sizeof bits);
    return bits < 0 ? -(bits & INT64_MAX) : bits;
}

int method_within_doubles(double a, double b, int most)
{
    if (std::isnan(a) || std::isnan(b))
        return 0;
    // The places lie within +-(2^63 - 2^52): their distance fits 64 bits
    // unsigned.
    uint64_t pa = static_cast<uint64_t>(double_place(a));
    uint64_t pb = static_cast<uint64_t>(double_place(b));
    uint64_t apart = double_place(a) > double_place(b) ? pa - pb : pb - pa;
    return apart <= static_cast<uint64_t>(most);
}

void method_default_start(double u, double r, method_start *start)
{
    double top = u / r;
    *start = method_start{0.0, top, top};
}

void method_begin(method_state *s, int method, double u, double r, double i_s,
                  const method_start *start)
{
    method_start given;
    if (start == nullptr) {
        method_default_start(u, r, &given);
        start = &given;
    }
    *s = method_state{};
    s->method = method;
    s->u = u;
    s->r = r;
    s->i_s = i_s;
    method_table[method]->begin(s, start);
    s->start_evaluations = s->evaluations[0];
}

int method_pass(method_state *s)
{
    const method_def *def = method_table[s->method];
    def->prepare(s);
    while (!method_take(s, f(s->u, s->r, s->i_s, s->point))) {
    }
    return s->ending != ending_none;
}

void method_finish(const method_state *s, method_end *end)
{
    end->passes = s->n;
    end->ending = s->ending;
    end->cycle = 0;
    end->close = 0;
    end->last = s->est;
    end->evaluations[0] = s->evaluations[0];
    end->evaluations[1] = s->evaluations[1];
    end->start_evaluations = s->start_evaluations;
    if (s->ending == ending_limit && std::isfinite(s->est)) {
        // Only at the limit, so that no pass pays for keeping an estimate
        // more: the pass after the last, on a copy.
        method_state after = *s;
        method_pass(&after);
        end->cycle = after.est == s->prev;
        end->close =
            method_within_doubles(s->est, s->prev, method_close_doubles);
    }
}

void method_run(int method, double u, double r, double i_s,
                const method_start *start, pass_hook hook, void *context,
                method_end *end)
{
    method_run_until(method, u, r, i_s, start, hook, context, nullptr, nullptr,
                     end);
}

void method_run_until(int method, double u, double r, double i_s,
                      const method_start *start, pass_hook hook, void *context,
                      pass_until until, void *until_context, method_end *end)
{
    method_state s;
    method_begin(&s, method, u, r, i_s, start);
    int stop = 0;
    while (!stop) {
        stop = method_pass(&s);
        if (hook != nullptr)
            hook(&s.line, context);
        if (until != nullptr && !stop)
            stop = until(&s.line, s.prev, until_context);
    }
    method_finish(&s, end);
}

void halbierung(double u, double r, double i_s, pass_hook hook, void *context,
                method_end *end)
{
    method_run(method_by_letter('H'), u, r, i_s, nullptr, hook, context, end);
}

void regula_falsi(double u, double r, double i_s, pass_hook hook, void *context,
                  method_end *end)
{
    method_run(method_by_letter('R'), u, r, i_s, nullptr, hook, context, end);
}

void newton(double u, double r, double i_s, pass_hook hook, void *context,
            method_end *end)
{
    method_run(method_by_letter('N'), u, r, i_s, nullptr, hook, context, end);
}
