// What a map shows: how each method ended at a sample of the grid points
// (every point when the grid is small enough), and the share of each ending
// over all points; drawn as a text map (map/textmap.h) or handed to gnuplot.
#ifndef MAP_VIEW_H_
#define MAP_VIEW_H_

#include <cstddef>
#include <cstdio>

#include "map/grid.h"

// How a method's run ended, in classes: before the limit (converged: an
// exact repeat), or at the limit with a finite estimate, its last two
// estimates at most method_close_doubles doubles apart ("an der
// Nullstelle": as near as the arithmetic allows, only no repeat), else
// alternating between two values ("kreist") or not ("kriecht", creeping
// toward a root without a repeat), or with nan or inf; and the secant's
// horizontal end before the limit ("waagerecht"), shown only in a map of a
// method that can end so. Shown in the order of class_order.
enum end_class {
    end_repeat,
    end_limit_close,
    end_limit_cycle,
    end_limit_creep,
    end_limit_nan,
    end_level,
    end_classes
};
extern const int class_order[end_classes];

// The words of each class, defined here only: its name ("kreist"), its
// line in the text map's legend, its phrase in the label of the pictures'
// colour bar (the classes at the limit) and its tick there, and whether it
// is a way to reach the limit.
struct end_class_words {
    const char *name;
    const char *legend;
    const char *picture;
    const char *tick;
    int at_limit;
};
extern const end_class_words end_class_table[end_classes];

// A method's ending at a point, as one byte: the passes (1 to 200) when it
// ended before the limit in the class end_repeat, else the code of its
// class, from ending_first_code on in the order of the classes.
enum { ending_first_code = 251 };
static_assert(static_cast<int>(report_pass_limit) < ending_first_code &&
                  ending_first_code + end_classes - 2 <= 255,
              "a pass count is never read as an ending at the limit");
inline unsigned char ending_code(int end)
{
    return static_cast<unsigned char>(ending_first_code + end - 1);
}
inline int ending_class(unsigned char ending)
{
    return ending >= ending_first_code ? ending - ending_first_code + 1
                                       : end_repeat;
}

struct map_view {
    const map_spec *spec;
    int cols;                    // sampled columns, at most the grid's width
    int rows;                    // sampled rows
    int next;                    // the next sampled row to fill
    unsigned char *ending;       // [slot][row][col], row 0 at the first y
    unsigned short *evaluations; // of f and f', beside each ending
    unsigned long count[method_count]
                       [end_classes]; // per slot of the map's methods
    int repeat_only; // all its methods end before the limit on a repeat only
    int first_pass;  // the first pass after which one of them can end
    int level;       // one of them can end horizontal (end_level)
};

// Whether the view shows class end: every class but end_level, which only
// a map of a method that can end so shows.
int view_shows(const map_view *view, int end);

// What ends a method before the limit in this view, for its texts: "bis
// zur Wiederholung" where every method ends so, else "bis zum Ende vor der
// Grenze"; the name of the class end (end_repeat: "Wiederholung" or "vor
// der Grenze").
const char *view_passes_to(const map_view *view);
const char *view_class_name(const map_view *view, int end);

// Samples per axis of a picture.
enum { picture_samples = 400 };

// A view of at most cols x rows samples. Returns 0, or -1 without memory;
// view_end frees it.
int view_begin(map_view *view, const map_spec *spec, int cols, int rows);
void view_end(map_view *view);

// What the colour counts where a method ended before the limit (the
// map's colour, map_colour): the passes (the ending itself) or the
// evaluations of f and f', in the words of titles and legends
// ("Durchlaeufe", "Auswertungen von f und f'").
unsigned view_count(const map_view *view, int m, int row, int col);
const char *view_counted(const map_view *view);

// The counts in buckets of powers of two: 2-3, 4-7, ..., 128-200 passes
// (7 buckets), or up to 256-511 evaluations (8; at most 402 occur);
// bucket k starts at 2 << k, the last ends at bucket_top (200 passes, the
// limit, or 511 evaluations).
enum { pass_buckets = 7, evaluation_buckets = 8 };
int view_buckets(const map_view *view);
int count_bucket(const map_view *view, unsigned count);
int bucket_start(int k);
int bucket_top(const map_view *view);

// The grid point that sample k of n stands for, on an axis of points.
int sample_point(int k, int n, int points);

// The ending of the map's method in slot m at sample row, col (row 0 at
// the first y).
unsigned char view_ending(const map_view *view, int m, int row, int col);

// The row sink that fills the view (context: the map_view).
int view_take_row(int y, const method_outcome *cells, const map_text *text,
                  void *context);

// German names of the quantities for labels ("Widerstand R in Ohm").
extern const char *const quantity_labels[map_quantities];
// Their names and units for values ("U", "V").
extern const char *const quantity_names[map_quantities];
extern const char *const quantity_units[map_quantities];

// The ticks of an axis: where each lies between the range's first point
// (0) and its last (1), and its value. A logarithmic range (both ends
// positive) has its decades, at most 8 (every second, third, ... where it
// spans more), and where fewer than two decades lie inside it, also its
// ends and the 2s and 5s between; an evenly spaced one has its ends.
// Returns the count, in order from the first point.
struct axis_tick {
    double at;
    double value;
};
enum { axis_ticks_most = 24 };
int axis_ticks(const map_range *range, axis_tick ticks[axis_ticks_most]);

// A tick's label in one format per axis: on a logarithmic range "1e7",
// "1e-16", "4.7e3" (two digits at most), with powers (tick_powers) "10^{7}",
// "4.7·10^{3}" for gnuplot's enhanced text; on an evenly spaced one "%.3g".
enum tick_style { tick_plain, tick_powers };
void tick_text(const map_range *range, double value, int style, char *buf,
               size_t size);

// "Widerstand R in Ohm, logarithmisch" for a logarithmic range, else the
// quantity's label.
void axis_label(const map_spec *spec, int axis, char *buf, size_t size);

// The title of a map: what its colour counts, and the circuit's fixed
// quantity and grid ("Durchlaeufe bis zur Wiederholung: U = 5 V, Gitter
// 200 x 150").
void describe_title(const map_view *view, char *buf, size_t size);

// "U = 5 V": the quantity that is one value, for titles.
void describe_fixed(const map_spec *spec, char *buf, size_t size);

// The share of the points where the method in slot method ended in class
// end, in percent.
double view_share(const map_view *view, int method, int end);

// "Wiederholung 97.0 %, Grenze: kreist 1.0 %, kriecht 2.0 %": the shares of
// method, for titles, the classes at the limit only where they occur;
// between goes before the first class at the limit (", Grenze: ").
void describe_shares(const map_view *view, int method, const char *between,
                     char *buf, size_t size);

#endif // MAP_VIEW_H_
