// The map's lanes: within a row, lanes circuits run one method in
// lockstep. Their passes do not depend on each other, so the processor
// overlaps their logarithms and divisions, while each circuit still takes
// exactly the steps of methods.h.
#include "map/lanes.h"

#include <cmath>

#include "solver/methods.h"

enum { lanes = 8 };

// The circuits of a row: the values of the x axis in xs (shared by all
// rows), the others fixed.
struct row {
    const map_spec *spec;
    double base[map_quantities];
    const double *xs;
};

// lanes circuits running one method, laid out as arrays so that each step
// of a pass runs over all lanes at once and their logarithms are taken back
// to back; column -1 marks a lane with no circuit left (it runs on idly).
struct alignas(64) lane_set {
    double u[lanes], r[lanes], i_s[lanes];
    double lo[lanes], hi[lanes], flo[lanes], fhi[lanes];
    double est[lanes], prev[lanes];
    uint64_t n[lanes];
    int column[lanes];
};

static void start_lane(lane_set *b, int l, int method, const row *w, int x)
{
    double v[map_quantities] = {w->base[0], w->base[1], w->base[2]};
    v[w->spec->x] = w->xs[x];
    method_state s;
    method_begin(&s, method, v[quantity_u], v[quantity_r], v[quantity_i_s]);
    b->u[l] = s.u, b->r[l] = s.r, b->i_s[l] = s.i_s;
    b->lo[l] = s.lo, b->hi[l] = s.hi, b->flo[l] = s.flo, b->fhi[l] = s.fhi;
    b->est[l] = s.est, b->prev[l] = s.prev, b->n[l] = s.n;
}

static void finish_lane(const lane_set *b, int l, int method, method_outcome *o)
{
    method_state s = {method,    b->u[l],  b->r[l],    b->i_s[l],
                      b->lo[l],  b->hi[l], b->flo[l],  b->fhi[l],
                      b->est[l], 0.0,      b->prev[l], b->n[l]};
    method_end end;
    method_finish(&s, &end);
    o->last = end.last;
    o->passes = static_cast<unsigned char>(end.passes);
    o->repeat = static_cast<unsigned char>(end.repeat);
    o->cycle = static_cast<unsigned char>(end.cycle);
}

// One pass of every lane, step by step across the lanes: the parts of a
// pass from methods.h, the logarithms of all lanes back to back between
// them; stop[l] tells which lanes stopped.
template <int method> static inline void pass(lane_set *b, int stop[lanes])
{
    alignas(64) double x[lanes];
    alignas(64) double g[lanes];
    for (int l = 0; l < lanes; ++l) {
        x[l] = pass_point<method>(b->lo[l], b->hi[l], b->flo[l], b->fhi[l],
                                  b->est[l]);
        g[l] = f_log_argument(x[l], b->i_s[l]);
    }
    for (int l = 0; l < lanes; ++l)
        g[l] = std::log(g[l]);
    for (int l = 0; l < lanes; ++l) {
        double d = f_from_log(b->u[l], b->r[l], x[l], g[l]);
        double next =
            pass_move<method>(b->u[l], b->r[l], b->i_s[l], x[l], d, &b->lo[l],
                              &b->hi[l], &b->flo[l], &b->fhi[l]);
        stop[l] = pass_end(&b->n[l], next, &b->est[l], &b->prev[l]);
    }
}

// One method over the whole row, lanes circuits at a time: a lane that
// stops takes the next column.
template <int method>
static void run_method(const row *w, int width, map_cell *cells)
{
    lane_set b;
    int next = 0;
    int active = 0;
    for (int l = 0; l < lanes; ++l) {
        int x = next < width ? next++ : -1;
        start_lane(&b, l, method, w, x < 0 ? 0 : x);
        b.column[l] = x;
        active += x >= 0;
    }
    while (active > 0) {
        int stop[lanes];
        pass<method>(&b, stop);
        int any = 0;
        for (int l = 0; l < lanes; ++l)
            any |= stop[l] & (b.column[l] >= 0);
        if (!any)
            continue;
        for (int l = 0; l < lanes; ++l) {
            if (!stop[l] || b.column[l] < 0)
                continue;
            finish_lane(&b, l, method, &cells[b.column[l]].method[method]);
            int x = next < width ? next++ : -1;
            if (x >= 0)
                start_lane(&b, l, method, w, x);
            else
                --active;
            b.column[l] = x;
        }
    }
}

void map_row(const map_spec *spec, const double *xs, int y, map_cell *cells)
{
    row w;
    w.spec = spec;
    w.xs = xs;
    row_values(spec, y, w.base);
    int width = spec->range[spec->x].points;
    run_method<method_bisection>(&w, width, cells);
    run_method<method_regula_falsi>(&w, width, cells);
    run_method<method_newton>(&w, width, cells);
}
