// The plain loop that the map engine is held to, for the benchmark and for
// its bitwise check.
#ifndef MAP_REFERENCE_H_
#define MAP_REFERENCE_H_

#include "map/grid.h"

// Seconds on a monotonic clock.
double bench_now();

// The checksum of every outcome of the map, in order, computed circuit by
// circuit through method_run.
unsigned long long bench_plain_loop(const map_spec *s);

// Runs the engine on threads; returns the seconds, the same checksum in
// *sum and the number of logarithms taken in *logs (unless null).
double bench_engine(const map_spec *s, int threads, unsigned long long *sum,
                    unsigned long long *logs = nullptr);

// The engine against the plain loop on 1, 2 and 3 threads over several
// small regions, one line each. Returns exit_ok or exit_failure.
int bench_check();

#endif // MAP_REFERENCE_H_
