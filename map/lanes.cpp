// The map's lanes: within a row, lanes circuits run one method in
// lockstep. Their passes do not depend on each other, so the processor
// overlaps their logarithms and divisions, while each circuit still takes
// exactly the steps of its method's file. Methods without lanes run their
// circuits one after the other.
#include "map/lanes.h"

#include <cmath>

#include "solver/methods/bisection.h"
#include "solver/methods/falsi.h"
#include "solver/methods/newton.h"

enum { lanes = 8 };

// The circuits of a row: the values of the x axis in xs (shared by all
// rows), the others fixed.
struct row {
    const map_spec *spec;
    double base[map_quantities];
    const double *xs;
    int width;
};

// The fields of method_state that a pass in the lanes reads or writes, as
// arrays across the lanes, and the ends and their residuals of the method's
// own state (bisection's and regula falsi's; Newton keeps none between its
// passes). Each lane also keeps its whole state, from which these are
// taken at its start and into which they go back at its end, so that a
// field not listed here is carried whole; a field that the lanes' passes
// use must be listed, or they do not compile.
// clang-format off
#define LANE_FIELDS(F) \
    F(double, u) F(double, r) F(double, i_s) \
    F(double, est) F(double, prev) F(uint64_t, n)
#define LANE_ENDS(F) F(a) F(b) F(fa) F(fb)
// clang-format on

// lanes circuits running one method, laid out as arrays so that each step
// of a pass runs over all lanes at once and their logarithms are taken back
// to back; column -1 marks a lane with no circuit left (it runs on idly).
struct alignas(64) lane_set {
#define DECLARE(type, name) type name[lanes];
#define DECLARE_END(name) double name[lanes];
    LANE_FIELDS(DECLARE)
    LANE_ENDS(DECLARE_END)
#undef DECLARE_END
#undef DECLARE
    method_state state[lanes];
    int column[lanes];
};

static void circuit_at(const row *w, int x, double v[map_quantities])
{
    for (int q = 0; q < map_quantities; ++q)
        v[q] = w->base[q];
    v[w->spec->x] = w->xs[x];
}

// The ends of a lane's method as the lanes keep them: bisection's lo and hi
// (residuals 0), regula falsi's ends and residuals, none for Newton.
template <int lane> static falsi_state lane_ends(const method_state *s)
{
    if constexpr (lane == lane_bisection) {
        const bisection_state *o = method_own<bisection_state>(s);
        return falsi_state{o->a, o->b, 0.0, 0.0};
    } else if constexpr (lane == lane_falsi) {
        return *method_own<falsi_state>(s);
    } else {
        return falsi_state{0.0, 0.0, 0.0, 0.0};
    }
}
template <int lane>
static void keep_lane_ends(method_state *s, const falsi_state &ends)
{
    if constexpr (lane == lane_bisection)
        *method_own<bisection_state>(s) = bisection_state{ends.a, ends.b};
    else if constexpr (lane == lane_falsi)
        *method_own<falsi_state>(s) = ends;
}

template <int lane>
static void start_lane(lane_set *b, int l, int method, const row *w, int x)
{
    double v[map_quantities];
    circuit_at(w, x, v);
    method_state *s = &b->state[l];
    method_begin(s, method, v[quantity_u], v[quantity_r], v[quantity_i_s],
                 nullptr);
#define IN(type, name) b->name[l] = s->name;
#define IN_END(name) b->name[l] = ends.name;
    LANE_FIELDS(IN)
    falsi_state ends = lane_ends<lane>(s);
    LANE_ENDS(IN_END)
#undef IN_END
#undef IN
}

static void take_outcome(const method_end *end, method_outcome *o)
{
    uint64_t evaluations = end->evaluations[0] + end->evaluations[1];
    o->evaluations =
        static_cast<unsigned short>(evaluations < 65535 ? evaluations : 65535);
    o->last = end->last;
    o->passes = static_cast<unsigned char>(end->passes);
    o->ending = static_cast<unsigned char>(end->ending);
    o->cycle = static_cast<unsigned char>(end->cycle);
    o->close = static_cast<unsigned char>(end->close);
}

template <int lane>
static void finish_lane(lane_set *b, int l, method_outcome *o)
{
    method_state *s = &b->state[l];
#define OUT(type, name) s->name = b->name[l];
#define OUT_END(name) ends.name = b->name[l];
    LANE_FIELDS(OUT)
    falsi_state ends;
    LANE_ENDS(OUT_END)
    keep_lane_ends<lane>(s, ends);
#undef OUT_END
#undef OUT
    // Each pass of the lanes evaluates f once, Newton's its slope too (in
    // newton_next); the start's are counted in the state already.
    s->evaluations[0] += s->n;
    if constexpr (lane == lane_newton)
        s->evaluations[1] += s->n;
    stop_facts facts = {s->n, s->est, s->prev, 0.0, 0.0, 0.0, 0.0, 0.0};
    const method_def *def = method_table[s->method];
    s->ending = stop_first(def->stops, def->stop_count, &facts);
    method_end end;
    method_finish(s, &end);
    take_outcome(&end, o);
}

// A pass of each kind in two parts around f: the point it evaluates f at,
// and, with the residual d there, the move of the ends and the new
// estimate. The parts are those of the methods' files.
template <int lane> static inline double pass_point(const lane_set *b, int l)
{
    if constexpr (lane == lane_bisection)
        return bisection_point(b->a[l], b->b[l]);
    else if constexpr (lane == lane_falsi)
        return regula_falsi_point(b->a[l], b->b[l], b->fa[l], b->fb[l]);
    else
        return b->est[l];
}

template <int lane>
static inline double pass_move(lane_set *b, int l, double x, double d)
{
    if constexpr (lane == lane_bisection) {
        bisection_move(x, d, &b->a[l], &b->b[l]);
        return x;
    } else if constexpr (lane == lane_falsi) {
        regula_falsi_move(x, d, &b->a[l], &b->b[l], &b->fa[l], &b->fb[l]);
        return x;
    } else {
        return newton_next(b->u[l], b->r[l], b->i_s[l], x, d);
    }
}

// One pass of every lane, step by step across the lanes, the logarithms of
// all lanes back to back between its parts; stop[l] tells which lanes
// stopped.
template <int lane> static inline void pass(lane_set *b, int stop[lanes])
{
    alignas(64) double x[lanes];
    alignas(64) double g[lanes];
    for (int l = 0; l < lanes; ++l) {
        x[l] = pass_point<lane>(b, l);
        g[l] = f_log_argument(x[l], b->i_s[l]);
    }
    for (int l = 0; l < lanes; ++l)
        g[l] = std::log(g[l]);
    for (int l = 0; l < lanes; ++l) {
        double d = f_from_log(b->u[l], b->r[l], x[l], g[l]);
        double next = pass_move<lane>(b, l, x[l], d);
        stop[l] = method_advance(&b->n[l], next, &b->est[l], &b->prev[l]);
    }
}

// The map's method in slot k over the whole row, lanes circuits at a
// time: a lane that stops takes the next column.
template <int lane>
static void run_lanes(const row *w, int k, method_outcome *cells)
{
    int method = w->spec->method[k];
    int stride = w->spec->methods;
    lane_set b;
    int next = 0;
    int active = 0;
    for (int l = 0; l < lanes; ++l) {
        int x = next < w->width ? next++ : -1;
        start_lane<lane>(&b, l, method, w, x < 0 ? 0 : x);
        b.column[l] = x;
        active += x >= 0;
    }
    while (active > 0) {
        int stop[lanes];
        pass<lane>(&b, stop);
        int any = 0;
        for (int l = 0; l < lanes; ++l)
            any |= stop[l] & (b.column[l] >= 0);
        if (!any)
            continue;
        for (int l = 0; l < lanes; ++l) {
            if (!stop[l] || b.column[l] < 0)
                continue;
            finish_lane<lane>(&b, l, &cells[b.column[l] * stride + k]);
            int x = next < w->width ? next++ : -1;
            if (x >= 0)
                start_lane<lane>(&b, l, method, w, x);
            else
                --active;
            b.column[l] = x;
        }
    }
}

// A method without lanes of its own: lanes circuits in lockstep all the
// same, each pass through the method's halves (method_def's prepare and
// take) with the logarithms of all lanes back to back between them. A pass
// that needs f at more than one point takes one round of the lanes for
// each; within[l] says that lane l is amid such a pass.
static void run_states(const row *w, int k, method_outcome *cells)
{
    int method = w->spec->method[k];
    const method_def *def = method_table[method];
    method_state s[lanes];
    int column[lanes];
    int next = 0;
    int active = 0;
    auto start = [&](int l) {
        int x = next < w->width ? next++ : -1;
        double v[map_quantities];
        circuit_at(w, x < 0 ? 0 : x, v);
        method_begin(&s[l], method, v[quantity_u], v[quantity_r],
                     v[quantity_i_s], nullptr);
        column[l] = x;
        return x >= 0;
    };
    for (int l = 0; l < lanes; ++l)
        active += start(l);
    int within[lanes] = {};
    while (active > 0) {
        double g[lanes];
        for (int l = 0; l < lanes; ++l) {
            if (!within[l])
                def->prepare(&s[l]);
            g[l] = f_log_argument(s[l].point, s[l].i_s);
        }
        for (int l = 0; l < lanes; ++l)
            g[l] = std::log(g[l]);
        for (int l = 0; l < lanes; ++l) {
            double d = f_from_log(s[l].u, s[l].r, s[l].point, g[l]);
            within[l] = !method_take(&s[l], d);
            if (within[l] || s[l].ending == ending_none || column[l] < 0)
                continue;
            method_end end;
            method_finish(&s[l], &end);
            take_outcome(&end, &cells[column[l] * w->spec->methods + k]);
            if (!start(l))
                --active;
        }
    }
}

void map_row(const map_spec *spec, const double *xs, int y,
             method_outcome *cells)
{
    row w;
    w.spec = spec;
    w.xs = xs;
    w.width = spec->range[spec->x].points;
    row_values(spec, y, w.base);
    for (int k = 0; k < spec->methods; ++k) {
        switch (method_table[spec->method[k]]->lane) {
        case lane_bisection: run_lanes<lane_bisection>(&w, k, cells); break;
        case lane_falsi: run_lanes<lane_falsi>(&w, k, cells); break;
        case lane_newton: run_lanes<lane_newton>(&w, k, cells); break;
        default: run_states(&w, k, cells); break;
        }
    }
}
