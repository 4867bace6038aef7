// The plain loop that the map engine is held to: checksums of a map's
// outcomes, computed one circuit after the other or by the engine.
#include "map/reference.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>

#include "common/status.h"
#include "map/engine.h"
#include "solver/choose.h"
#include "solver/method.h"

double bench_now()
{
    timespec t;
    clock_gettime(CLOCK_MONOTONIC, &t);
    return static_cast<double>(t.tv_sec) +
           1e-9 * static_cast<double>(t.tv_nsec);
}

// Folds an outcome into a running checksum (FNV-1a over its bytes): its
// last estimate, passes, ending and evaluations of f and f'.
static void fold(unsigned long long *sum, unsigned long passes, int how,
                 double last, unsigned long long evaluations)
{
    unsigned char bytes[sizeof last + 4];
    memcpy(bytes, &last, sizeof last);
    bytes[sizeof last] = static_cast<unsigned char>(passes);
    bytes[sizeof last + 1] = static_cast<unsigned char>(how);
    bytes[sizeof last + 2] = static_cast<unsigned char>(evaluations);
    bytes[sizeof last + 3] = static_cast<unsigned char>(evaluations >> 8);
    for (unsigned char b : bytes)
        *sum = (*sum ^ b) * 1099511628211ULL;
}

struct folding {
    unsigned long long sum;
    unsigned long long logs; // one per pass, and regula falsi's two at start
    int width;
    int methods;
};

static int fold_row(int y, const method_outcome *cells, const map_text *text,
                    void *context)
{
    (void)y;
    (void)text;
    folding *f = static_cast<folding *>(context);
    for (int x = 0; x < f->width; ++x)
        for (int k = 0; k < f->methods; ++k) {
            const method_outcome &o = cells[x * f->methods + k];
            fold(&f->sum, o.passes, o.ending | o.cycle << 4 | o.close << 5,
                 o.last, o.evaluations);
            f->logs += o.passes;
        }
    f->logs += 2u * static_cast<unsigned>(f->width);
    return exit_ok;
}

// The plain way: each circuit through the map's methods, one after the
// other, the values of the axes computed once.
unsigned long long bench_plain_loop(const map_spec *s)
{
    unsigned long long sum = 14695981039346656037ULL;
    static double xs[map_max_points];
    for (int x = 0; x < s->range[s->x].points; ++x)
        xs[x] = range_value(&s->range[s->x], x);
    double v[map_quantities];
    for (int y = 0; y < s->range[s->y].points; ++y) {
        row_values(s, y, v);
        for (int x = 0; x < s->range[s->x].points; ++x) {
            v[s->x] = xs[x];
            for (int k = 0; k < s->methods; ++k) {
                method_end end;
                method_run(s->method[k], v[0], v[1], v[2], nullptr, nullptr,
                           nullptr, &end);
                fold(&sum, end.passes,
                     end.ending | end.cycle << 4 | end.close << 5, end.last,
                     end.evaluations[0] + end.evaluations[1]);
            }
        }
    }
    return sum;
}

// Times the engine on threads; returns the seconds, the checksum in *sum
// and the number of logarithms taken in *logs (unless null).
double bench_engine(const map_spec *s, int threads, unsigned long long *sum,
                    unsigned long long *logs)
{
    folding f = {14695981039346656037ULL, 0, s->range[s->x].points, s->methods};
    double start = bench_now();
    if (map_run(s, threads, nullptr, nullptr, fold_row, &f) != 0) {
        fputs("diode_map_bench: the map did not run\n", stderr);
        exit(exit_failure);
    }
    *sum = f.sum;
    if (logs != nullptr)
        *logs = f.logs;
    return bench_now() - start;
}

// The engine against the plain loop on 1, 2 and 3 threads, with the three
// methods and with all nine, over regions whose widths are no multiple of
// the lanes and which reach every ending: repeats, the limit with a finite
// estimate and with nan (I_S = 0, U < 0).
int bench_check()
{
    static map_spec specs[] = {
        {{{5.0, 5.0, 1}, {1.0, 1e7, 37}, {1e-16, 1e-6, 11}},
         quantity_r,
         quantity_i_s,
         {},
         0,
         colour_passes},
        {{{0.1, 1000.0, 61}, {1e3, 1e3, 1}, {1e-16, 1e-6, 7}},
         quantity_u,
         quantity_i_s,
         {},
         0,
         colour_passes},
        {{{-3.0, 12.0, 2}, {0.0, 1e4, 13}, {1e-12, 1e-12, 1}},
         quantity_u,
         quantity_r,
         {},
         0,
         colour_passes},
        {{{5.0, 5.0, 1}, {1.0, 1e7, 9}, {0.0, 1e-6, 5}},
         quantity_r,
         quantity_i_s,
         {},
         0,
         colour_passes}};
    int failed = 0;
    char all[method_count + 1];
    method_letters(all);
    const char *const choices[] = {map_default_methods, all};
    for (map_spec &s : specs) {
        for (const char *letters : choices) {
            method_choose("--verfahren", letters, s.method, &s.methods);
            unsigned long long plain = bench_plain_loop(&s);
            for (int threads = 1; threads <= 3; ++threads) {
                unsigned long long sum = 0;
                bench_engine(&s, threads, &sum);
                int same = sum == plain;
                printf("%s: %d x %d, %s, %d Thread(s)\n",
                       same ? "gleich" : "FEHLER", s.range[s.x].points,
                       s.range[s.y].points, letters, threads);
                failed |= !same;
            }
        }
    }
    return failed ? exit_failure : exit_ok;
}
