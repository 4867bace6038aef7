// The plain loop that the map engine is held to, for the benchmark and for
// its bitwise check.
#ifndef MAP_REFERENCE_H_
#define MAP_REFERENCE_H_

#include "map/grid.h"

// Seconds on a monotonic clock.
double now();

// The checksum of every outcome of the map, in order, computed circuit by
// circuit through halbierung, regula_falsi and newton.
unsigned long long plain_loop(const map_spec *s);

// Runs the engine on threads; returns the seconds, the same checksum in
// *sum and the number of logarithms taken in *logs (unless null).
double engine(const map_spec *s, int threads, unsigned long long *sum,
              unsigned long long *logs = nullptr);

// The engine against the plain loop on 1, 2 and 3 threads over several
// small regions, one line each. Returns exit_ok or exit_failure.
int check();

#endif // MAP_REFERENCE_H_
