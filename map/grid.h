// The grid of a map: the quantities, their ranges and the points they
// take, what a method's run ends with at a point, and the bytes a worker
// makes of a row. Under the lanes (one row) and the engine (all rows on
// threads) alike.
#ifndef MAP_GRID_H_
#define MAP_GRID_H_

#include <cstddef>

#include "solver/method.h"

enum map_quantity { quantity_u, quantity_r, quantity_i_s, map_quantities };
enum { map_max_points = 4000 }; // on either axis

// The values one quantity takes: points of them from a to b (both exact),
// log-spaced when both ends are positive, evenly otherwise; one point is a
// single value.
struct map_range {
    double a;
    double b;
    int points;
};

// A map: U, R and I_S, two of them ranges (2 to map_max_points points); x
// is the first range in that order, y the second; the methods it runs at
// each point, in the order shown (indices into method_table).
struct map_spec {
    map_range range[map_quantities];
    int x;
    int y;
    int method[method_count];
    int methods;
    int colour; // map_colour: what the colour of a repeat counts
};

// What a map's colour counts where a method ends before the limit: its
// passes, or its evaluations of f and f' (the start's included), so that
// methods with more work a pass compare fairly (--farbe).
enum map_colour { colour_passes, colour_evaluations };

// The methods a map runs unless told otherwise (--verfahren).
extern const char map_default_methods[]; // "HRN"

// How one method ended at one grid point. A row's outcomes lie point by
// point, each point's methods in the map's order.
struct method_outcome {
    double last;          // the estimate of its last pass
    unsigned char passes; // the number of its last pass, 1 to 200
    unsigned char ending; // method_ending
    unsigned char cycle;  // at the limit: 1 when it alternates between two
    unsigned char close;  // at the limit: 1 when its last two estimates are
                          // at most method_close_doubles doubles apart
    unsigned short evaluations; // of f and f', the start's included; at
                                // most 2 + 2 * 200 for the methods here
};
static_assert(report_pass_limit <= 255, "a pass count fits its byte");

int range_is_log(const map_range *range);

// Point k of the range, 0 <= k < points.
double range_value(const map_range *range, int k);

// U, R and I_S of the circuit at column 0 of row y, in v (the caller sets
// v[spec->x] for the other columns).
void row_values(const map_spec *spec, int y, double v[map_quantities]);

// Bytes that a worker makes of a row for the sink, in a buffer reused from
// row to row.
struct map_text {
    char *data;
    size_t len;
    size_t size;
};

// Makes room for more bytes at text->data + text->len. Returns 0, or -1
// when memory runs out.
int map_text_reserve(map_text *text, size_t more);

#endif // MAP_GRID_H_
