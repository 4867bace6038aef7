// The map engine. Within a row, lanes circuits run one method in lockstep:
// their passes do not depend on each other, so the processor overlaps their
// logarithms and divisions, while each circuit still takes exactly the
// steps of methods.h. Rows go to worker threads through a window of slots,
// and come back to the caller strictly in order.
#include "map/engine.h"

#include <cmath>
#include <cstdlib>
#include <pthread.h>

#include "solver/methods.h"

int range_is_log(const map_range *range)
{
    return range->a > 0.0 && range->b > 0.0;
}

double range_value(const map_range *range, int k)
{
    if (k <= 0 || range->points < 2)
        return range->a;
    if (k >= range->points - 1)
        return range->b;
    double t = static_cast<double>(k) / static_cast<double>(range->points - 1);
    if (range_is_log(range)) {
        double la = std::log(range->a);
        double lb = std::log(range->b);
        return std::exp(la + t * (lb - la));
    }
    return range->a * (1.0 - t) + range->b * t;
}

enum { lanes = 8 };

// The circuits of a row: the values of the x axis in xs, the others fixed.
struct row {
    const map_spec *spec;
    double base[map_quantities];
    double xs[map_max_points];
};

static void begin_at(method_state *s, int method, const row *w, int x)
{
    double v[map_quantities] = {w->base[0], w->base[1], w->base[2]};
    v[w->spec->x] = w->xs[x];
    method_begin(s, method, v[quantity_u], v[quantity_r], v[quantity_i_s]);
}

// One method over the whole row, lanes circuits at a time: a lane that
// stops takes the next column. Inlined for each method by name.
static inline __attribute__((always_inline)) void
run_method(const row *w, int width, int method, map_cell *cells)
{
    method_state s[lanes];
    int column[lanes];
    int next = 0;
    int active = 0;
    for (int l = 0; l < lanes; ++l) {
        column[l] = next < width ? next++ : -1;
        if (column[l] >= 0) {
            begin_at(&s[l], method, w, column[l]);
            ++active;
        }
    }
    while (active > 0) {
        for (int l = 0; l < lanes; ++l) {
            if (column[l] < 0 || !method_step(&s[l], method))
                continue;
            method_end end;
            method_finish(&s[l], &end);
            method_outcome *o = &cells[column[l]].method[method];
            o->last = end.last;
            o->passes = static_cast<unsigned char>(end.passes);
            o->repeat = static_cast<unsigned char>(end.repeat);
            column[l] = next < width ? next++ : -1;
            if (column[l] >= 0)
                begin_at(&s[l], method, w, column[l]);
            else
                --active;
        }
    }
}

void row_values(const map_spec *spec, int y, double v[map_quantities])
{
    for (int q = 0; q < map_quantities; ++q)
        v[q] = range_value(&spec->range[q], 0);
    v[spec->y] = range_value(&spec->range[spec->y], y);
}

// Runs the three methods at every point of row y into cells[0..width).
static void map_row(const map_spec *spec, int y, map_cell *cells)
{
    row w;
    w.spec = spec;
    row_values(spec, y, w.base);
    int width = spec->range[spec->x].points;
    for (int x = 0; x < width; ++x)
        w.xs[x] = range_value(&spec->range[spec->x], x);
    run_method(&w, width, method_bisection, cells);
    run_method(&w, width, method_regula_falsi, cells);
    run_method(&w, width, method_newton, cells);
}

// Rows in flight: row y is computed into slot y % window, which is free
// again once the sink has taken row y - window.
struct slot {
    int y;
    int ready;
    map_cell *cells;
};

struct shared {
    const map_spec *spec;
    int height;
    int window;
    slot *slots;
    int next_row; // the next row a worker takes
    int emitted;  // rows the sink has taken
    int stop;
    pthread_mutex_t lock;
    pthread_cond_t changed;
};

static void *worker(void *arg)
{
    shared *sh = static_cast<shared *>(arg);
    pthread_mutex_lock(&sh->lock);
    for (;;) {
        while (!sh->stop && sh->next_row < sh->height &&
               sh->next_row >= sh->emitted + sh->window)
            pthread_cond_wait(&sh->changed, &sh->lock);
        if (sh->stop || sh->next_row >= sh->height)
            break;
        int y = sh->next_row++;
        slot *s = &sh->slots[y % sh->window];
        pthread_mutex_unlock(&sh->lock);
        map_row(sh->spec, y, s->cells);
        pthread_mutex_lock(&sh->lock);
        s->y = y;
        s->ready = 1;
        pthread_cond_broadcast(&sh->changed);
    }
    pthread_mutex_unlock(&sh->lock);
    return nullptr;
}

// Hands the rows to the sink in order as the workers finish them.
static int collect(shared *sh, row_sink sink, void *context)
{
    int status = 0;
    for (int y = 0; y < sh->height && status == 0; ++y) {
        slot *s = &sh->slots[y % sh->window];
        pthread_mutex_lock(&sh->lock);
        while (!(s->ready && s->y == y))
            pthread_cond_wait(&sh->changed, &sh->lock);
        pthread_mutex_unlock(&sh->lock);
        status = sink(y, s->cells, context);
        pthread_mutex_lock(&sh->lock);
        s->ready = 0;
        sh->emitted = y + 1;
        sh->stop = status != 0;
        pthread_cond_broadcast(&sh->changed);
        pthread_mutex_unlock(&sh->lock);
    }
    return status;
}

int map_run(const map_spec *spec, int threads, row_sink sink, void *context)
{
    shared sh = {spec,
                 spec->range[spec->y].points,
                 2 * threads + 2,
                 nullptr,
                 0,
                 0,
                 0,
                 PTHREAD_MUTEX_INITIALIZER,
                 PTHREAD_COND_INITIALIZER};
    size_t width = static_cast<size_t>(spec->range[spec->x].points);
    size_t window = static_cast<size_t>(sh.window);
    sh.slots = static_cast<slot *>(calloc(window, sizeof(slot)));
    map_cell *cells =
        static_cast<map_cell *>(calloc(window * width, sizeof(map_cell)));
    pthread_t *ids = static_cast<pthread_t *>(
        calloc(static_cast<size_t>(threads), sizeof(pthread_t)));
    int started = 0;
    if (sh.slots != nullptr && cells != nullptr && ids != nullptr) {
        for (size_t k = 0; k < window; ++k)
            sh.slots[k].cells = cells + k * width;
        while (started < threads &&
               pthread_create(&ids[started], nullptr, worker, &sh) == 0)
            ++started;
    }
    int status = started > 0 ? collect(&sh, sink, context) : -1;
    for (int t = 0; t < started; ++t)
        pthread_join(ids[t], nullptr);
    free(ids);
    free(cells);
    free(sh.slots);
    return status;
}
