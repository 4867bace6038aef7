// Maps of a region of circuits: every grid point runs the three methods
// exactly as diodesolve runs them; several circuits advance together, rows
// are shared among threads and handed on in order.
#ifndef MAP_ENGINE_H_
#define MAP_ENGINE_H_

#include "map/grid.h"

// Formats row y into text (emptied before) on the worker thread that
// computed it; xs holds the values of the x axis. Returns 0, or -1 when
// memory runs out (the map stops).
typedef int (*row_format)(int y, const method_outcome *cells, const double *xs,
                          map_text *text, const void *context);

// Receives the finished rows in order, with what format made of them (no
// bytes without a format); a nonzero return stops the map.
typedef int (*row_sink)(int y, const method_outcome *cells,
                        const map_text *text, void *context);

// Runs the whole map on threads (at least 1) and hands each row, in order
// of y, to sink on the calling thread; format, unless null, runs in the
// workers. Returns 0, the first nonzero value of sink, or -1 when memory or
// threads cannot be had.
int map_run(const map_spec *spec, int threads, row_format format,
            const void *format_context, row_sink sink, void *context);

#endif // MAP_ENGINE_H_
