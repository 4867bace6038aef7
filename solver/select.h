// A choice between two doubles without a jump, for the passes that the
// map's lanes run side by side.
#ifndef SOLVER_SELECT_H_
#define SOLVER_SELECT_H_

#include <cstdint>
#include <cstring>

// a where cond holds, else b, chosen by a bit mask instead of a jump: the
// direction a method takes is a coin toss, and a jump there mispredicts half
// of the time while a logarithm is waited for. The empty asm hides from the
// compiler that the mask is 0 or all ones, so that it cannot turn the select
// back into a conditional jump (g++ 12 did so in the map's lanes for a plain
// ?:). Checked in the code of g++ 12 and clang++ 14 at -O2 and -O3: and,
// andn, or; no jump (objdump -d of the map engine and of diodesolve).
inline double solver_select(int cond, double a, double b)
{
    uint64_t m = 0 - static_cast<uint64_t>(cond != 0);
#if defined(__x86_64__) || defined(__aarch64__)
    __asm__("" : "+r"(m));
#endif
    uint64_t x, y;
    memcpy(&x, &a, sizeof x);
    memcpy(&y, &b, sizeof y);
    uint64_t z = (x & m) | (y & ~m);
    double c;
    memcpy(&c, &z, sizeof c);
    return c;
}

#endif // SOLVER_SELECT_H_
