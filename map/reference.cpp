// The plain loop that the map engine is held to: checksums of a map's
// outcomes, computed one circuit after the other or by the engine.
#include "map/reference.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>

#include "common/status.h"
#include "map/engine.h"
#include "solver/methods.h"

double now()
{
    timespec t;
    clock_gettime(CLOCK_MONOTONIC, &t);
    return static_cast<double>(t.tv_sec) +
           1e-9 * static_cast<double>(t.tv_nsec);
}

// Folds an outcome into a running checksum (FNV-1a over its bytes).
static void fold(unsigned long long *sum, unsigned long passes, int repeat,
                 double last)
{
    unsigned char bytes[sizeof last + 2];
    memcpy(bytes, &last, sizeof last);
    bytes[sizeof last] = static_cast<unsigned char>(passes);
    bytes[sizeof last + 1] = static_cast<unsigned char>(repeat);
    for (unsigned char b : bytes)
        *sum = (*sum ^ b) * 1099511628211ULL;
}

struct folding {
    unsigned long long sum;
    unsigned long long logs; // one per pass, and regula falsi's two at start
    int width;
};

static int fold_row(int y, const map_cell *cells, const map_text *text,
                    void *context)
{
    (void)y;
    (void)text;
    folding *f = static_cast<folding *>(context);
    for (int x = 0; x < f->width; ++x)
        for (const method_outcome &o : cells[x].method) {
            fold(&f->sum, o.passes, o.repeat | o.cycle << 1, o.last);
            f->logs += o.passes;
        }
    f->logs += 2u * static_cast<unsigned>(f->width);
    return exit_ok;
}

// The plain way: each circuit through the three methods, one after the
// other, the values of the axes computed once.
unsigned long long plain_loop(const map_spec *s)
{
    unsigned long long sum = 14695981039346656037ULL;
    void (*const methods[])(double, double, double, pass_hook, void *,
                            method_end *) = {halbierung, regula_falsi, newton};
    static double xs[map_max_points];
    for (int x = 0; x < s->range[s->x].points; ++x)
        xs[x] = range_value(&s->range[s->x], x);
    double v[map_quantities];
    for (int y = 0; y < s->range[s->y].points; ++y) {
        row_values(s, y, v);
        for (int x = 0; x < s->range[s->x].points; ++x) {
            v[s->x] = xs[x];
            for (auto method : methods) {
                method_end end;
                method(v[0], v[1], v[2], nullptr, nullptr, &end);
                fold(&sum, end.passes, end.repeat | end.cycle << 1, end.last);
            }
        }
    }
    return sum;
}

// Times the engine on threads; returns the seconds, the checksum in *sum
// and the number of logarithms taken in *logs (unless null).
double engine(const map_spec *s, int threads, unsigned long long *sum,
              unsigned long long *logs)
{
    folding f = {14695981039346656037ULL, 0, s->range[s->x].points};
    double start = now();
    if (map_run(s, threads, nullptr, nullptr, fold_row, &f) != 0) {
        fputs("diode_map_bench: the map did not run\n", stderr);
        exit(exit_failure);
    }
    *sum = f.sum;
    if (logs != nullptr)
        *logs = f.logs;
    return now() - start;
}

// The engine against the plain loop on 1, 2 and 3 threads, over regions
// whose widths are no multiple of the lanes and which reach every ending:
// repeats, the limit with a finite estimate and with nan (I_S = 0, U < 0).
int check()
{
    static const map_spec specs[] = {
        {{{5.0, 5.0, 1}, {1.0, 1e7, 37}, {1e-16, 1e-6, 11}},
         quantity_r,
         quantity_i_s},
        {{{0.1, 1000.0, 61}, {1e3, 1e3, 1}, {1e-16, 1e-6, 7}},
         quantity_u,
         quantity_i_s},
        {{{-3.0, 12.0, 2}, {0.0, 1e4, 13}, {1e-12, 1e-12, 1}},
         quantity_u,
         quantity_r},
        {{{5.0, 5.0, 1}, {1.0, 1e7, 9}, {0.0, 1e-6, 5}},
         quantity_r,
         quantity_i_s}};
    int failed = 0;
    for (const map_spec &s : specs) {
        unsigned long long plain = plain_loop(&s);
        for (int threads = 1; threads <= 3; ++threads) {
            unsigned long long sum = 0;
            engine(&s, threads, &sum);
            int same = sum == plain;
            printf("%s: %d x %d, %d Thread(s)\n", same ? "gleich" : "FEHLER",
                   s.range[s.x].points, s.range[s.y].points, threads);
            failed |= !same;
        }
    }
    return failed ? exit_failure : exit_ok;
}
