// The map engine's threads: rows go to worker threads through a window of
// slots, are computed (map/lanes.h) and formatted there, and come back to
// the caller strictly in order.
#include "map/engine.h"

#include <cstdlib>
#include <pthread.h>

#include "map/lanes.h"

// Rows in flight: row y is computed (and formatted) into slot y % window,
// which is free again once the sink has taken row y - window.
struct slot {
    int y;
    int ready;
    int failed; // the formatter ran out of memory
    method_outcome *cells;
    map_text text;
};

struct shared {
    const map_spec *spec;
    const double *xs; // the values of the x axis
    row_format format;
    const void *format_context;
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
        map_row(sh->spec, sh->xs, y, s->cells);
        s->text.len = 0;
        s->failed =
            sh->format != nullptr &&
            sh->format(y, s->cells, sh->xs, &s->text, sh->format_context) != 0;
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
        status = s->failed ? -1 : sink(y, s->cells, &s->text, context);
        pthread_mutex_lock(&sh->lock);
        s->ready = 0;
        sh->emitted = y + 1;
        sh->stop = status != 0;
        pthread_cond_broadcast(&sh->changed);
        pthread_mutex_unlock(&sh->lock);
    }
    return status;
}

int map_run(const map_spec *spec, int threads, row_format format,
            const void *format_context, row_sink sink, void *context)
{
    shared sh = {spec,
                 nullptr,
                 format,
                 format_context,
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
    size_t per_row = width * static_cast<size_t>(spec->methods);
    method_outcome *cells = static_cast<method_outcome *>(
        calloc(window * per_row, sizeof(method_outcome)));
    double *xs = static_cast<double *>(calloc(width, sizeof(double)));
    pthread_t *ids = static_cast<pthread_t *>(
        calloc(static_cast<size_t>(threads), sizeof(pthread_t)));
    int started = 0;
    if (sh.slots != nullptr && cells != nullptr && xs != nullptr &&
        ids != nullptr) {
        for (size_t k = 0; k < width; ++k)
            xs[k] = range_value(&spec->range[spec->x], static_cast<int>(k));
        sh.xs = xs;
        for (size_t k = 0; k < window; ++k)
            sh.slots[k].cells = cells + k * per_row;
        while (started < threads &&
               pthread_create(&ids[started], nullptr, worker, &sh) == 0)
            ++started;
    }
    int status = started > 0 ? collect(&sh, sink, context) : -1;
    for (int t = 0; t < started; ++t)
        pthread_join(ids[t], nullptr);
    for (size_t k = 0; sh.slots != nullptr && k < window; ++k)
        free(sh.slots[k].text.data);
    free(ids);
    free(xs);
    free(cells);
    free(sh.slots);
    return status;
}
