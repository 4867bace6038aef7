// The stop tests (solver/stop.h). Comparisons are exact: binary64
// equality, under which +0 equals -0 and NaN equals nothing.
#include "solver/stop.h"

#include <cmath>

#include "solver/method.h"

int stop_repeat(const stop_facts *f)
{
    return f->n > 1 && f->next == f->prev;
}

int stop_unmoved(const stop_facts *f)
{
    return f->next == f->prev;
}

int stop_zero(const stop_facts *f)
{
    return f->d == 0.0;
}

int stop_level(const stop_facts *f)
{
    return f->fa == f->fb;
}

int stop_neighbours(const stop_facts *f)
{
    return method_neighbours(f->lo, f->hi);
}

// Brent's: xm = (c - b) / 2 against tol1 = 2^-51 |b|, with b the estimate
// and c the interval's other end (|c - b| = hi - lo exactly).
int stop_tolerance(const stop_facts *f)
{
    double t = f->hi - f->lo;
    double xm = 0.5 * t;
    double ab = std::fabs(f->next);
    double tol1 = 0x1p-51 * ab;
    return std::fabs(xm) <= tol1;
}

int stop_limit(const stop_facts *f)
{
    return f->n == report_pass_limit;
}

int stop_first(const method_stop *stops, int count, const stop_facts *facts)
{
    for (int k = 0; k < count; ++k)
        if (stops[k].holds(facts))
            return stops[k].ending;
    return ending_none;
}
