// The view of a map: sampled endings and shares.
#include "map/view.h"

#include <cmath>
#include <cstdlib>
#include <cstring>

const char *const quantity_labels[map_quantities] = {
    "Gesamtspannung U in V", "Widerstand R in Ohm",
    "Saettigungsstrom I_S in A"};
const char *const quantity_names[map_quantities] = {"U", "R", "I_S"};
const char *const quantity_units[map_quantities] = {"V", "Ohm", "A"};

int sample_point(int k, int n, int points)
{
    if (n < 2)
        return 0;
    long long scaled = static_cast<long long>(k) * (points - 1);
    return static_cast<int>((2 * scaled + (n - 1)) / (2 * (n - 1)));
}

int view_buckets(const map_view *view)
{
    return view->spec->colour == colour_evaluations ? evaluation_buckets
                                                    : pass_buckets;
}

int count_bucket(const map_view *view, unsigned count)
{
    int bucket = 0;
    while (bucket < view_buckets(view) - 1 && (count >> (bucket + 2)) != 0)
        ++bucket;
    return bucket;
}

int bucket_start(int k)
{
    return 2 << k;
}

int bucket_top(const map_view *view)
{
    return view->spec->colour == colour_evaluations
               ? bucket_start(evaluation_buckets) - 1
               : static_cast<int>(report_pass_limit);
}

const char *view_counted(const map_view *view)
{
    return view->spec->colour == colour_evaluations
               ? "Auswertungen von f und f'"
               : "Durchlaeufe";
}

const end_class_words end_class_table[end_classes] = {
    {"Wiederholung", "", "", "", 0},
    {"an der Nullstelle",
     "an der Nullstelle (letzte zwei I <= 4 doubles auseinander)",
     "rosa an der Nullstelle", "an der Nullstelle", 1},
    {"kreist", "kreist (wechselt zwischen zwei Werten)",
     "dunkelgrau kreist (zwischen zwei Werten)", "kreist", 1},
    {"kriecht", "kriecht (ohne Wiederholung, I endlich)", "hellgrau kriecht",
     "kriecht", 1},
    {"nan/inf", "I nan oder inf", "rot mit I = nan oder inf", "nan/inf", 1},
    {"Sekante waagerecht",
     "Sekante waagerecht (zwei gleiche Residuen: Ende mit dem letzten Wert)",
     "", "waagerecht", 0}}; // its tick beside the classes at the limit says it

const int class_order[end_classes] = {end_repeat,      end_level,
                                      end_limit_close, end_limit_cycle,
                                      end_limit_creep, end_limit_nan};

int view_shows(const map_view *view, int end)
{
    return end != end_level || view->level;
}

static_assert(method_close_doubles == 4, "the legend names 4 doubles");

static unsigned char ending_of(const method_outcome *o)
{
    if (o->ending == ending_level)
        return ending_code(end_level);
    if (o->ending != ending_limit)
        return o->passes;
    if (!std::isfinite(o->last))
        return ending_code(end_limit_nan);
    if (o->close)
        return ending_code(end_limit_close);
    return ending_code(o->cycle ? end_limit_cycle : end_limit_creep);
}

int view_begin(map_view *view, const map_spec *spec, int cols, int rows)
{
    int width = spec->range[spec->x].points;
    int height = spec->range[spec->y].points;
    memset(view, 0, sizeof *view);
    view->spec = spec;
    view->repeat_only = 1;
    view->first_pass = report_pass_limit;
    for (int k = 0; k < spec->methods; ++k) {
        const method_def *def = method_table[spec->method[k]];
        unsigned endings = method_endings_of(def);
        unsigned repeat = 1u << ending_repeat | 1u << ending_limit;
        view->repeat_only &= (endings & ~repeat) == 0;
        view->level |= (endings & 1u << ending_level) != 0;
        if (def->first_stop < view->first_pass)
            view->first_pass = def->first_stop;
    }
    view->cols = cols < width ? cols : width;
    view->rows = rows < height ? rows : height;
    size_t cells = static_cast<size_t>(view->cols) *
                   static_cast<size_t>(view->rows) *
                   static_cast<size_t>(spec->methods);
    view->ending = static_cast<unsigned char *>(malloc(cells));
    view->evaluations = static_cast<unsigned short *>(
        malloc(cells * sizeof *view->evaluations));
    if (view->ending != nullptr && view->evaluations != nullptr)
        return 0;
    view_end(view);
    return -1;
}

void view_end(map_view *view)
{
    free(view->ending);
    free(view->evaluations);
    view->ending = nullptr;
    view->evaluations = nullptr;
}

// Where the ending of method m at sample row, col is kept.
static size_t offset(const map_view *v, int m, int row, int col)
{
    return (static_cast<size_t>(m) * static_cast<size_t>(v->rows) +
            static_cast<size_t>(row)) *
               static_cast<size_t>(v->cols) +
           static_cast<size_t>(col);
}

unsigned char view_ending(const map_view *v, int m, int row, int col)
{
    return v->ending[offset(v, m, row, col)];
}

unsigned view_count(const map_view *v, int m, int row, int col)
{
    size_t at = offset(v, m, row, col);
    return v->spec->colour == colour_evaluations ? v->evaluations[at]
                                                 : v->ending[at];
}

int view_take_row(int y, const method_outcome *cells, const map_text *text,
                  void *context)
{
    (void)text;
    map_view *v = static_cast<map_view *>(context);
    int width = v->spec->range[v->spec->x].points;
    int height = v->spec->range[v->spec->y].points;
    int methods = v->spec->methods;
    for (int x = 0; x < width; ++x)
        for (int m = 0; m < methods; ++m)
            ++v->count[m][ending_class(ending_of(&cells[x * methods + m]))];
    if (v->next < v->rows && sample_point(v->next, v->rows, height) == y) {
        for (int c = 0; c < v->cols; ++c) {
            const method_outcome *cell =
                &cells[sample_point(c, v->cols, width) * methods];
            for (int m = 0; m < methods; ++m) {
                size_t at = offset(v, m, v->next, c);
                v->ending[at] = ending_of(&cell[m]);
                v->evaluations[at] = cell[m].evaluations;
            }
        }
        ++v->next;
    }
    return 0;
}

double view_share(const map_view *view, int method, int end)
{
    const unsigned long *c = view->count[method];
    unsigned long all = 0;
    for (int k = 0; k < end_classes; ++k)
        all += c[k];
    return all ? 100.0 * static_cast<double>(c[end]) / static_cast<double>(all)
               : 0.0;
}

void describe_shares(const map_view *view, int method, const char *between,
                     char *buf, size_t size)
{
    int n = snprintf(buf, size, "%s %.1f %%", view_class_name(view, end_repeat),
                     view_share(view, method, end_repeat));
    int first = 1;
    for (int j = 1; j < end_classes && n >= 0 && static_cast<size_t>(n) < size;
         ++j) {
        int k = class_order[j];
        if (view->count[method][k] == 0)
            continue;
        int limit = end_class_table[k].at_limit;
        n += snprintf(buf + n, size - static_cast<size_t>(n), "%s%s %.1f %%",
                      limit && first ? between : ", ", end_class_table[k].name,
                      view_share(view, method, k));
        first = first && !limit;
    }
}

const char *view_passes_to(const map_view *view)
{
    return view->repeat_only ? "bis zur Wiederholung"
                             : "bis zum Ende vor der Grenze";
}

const char *view_class_name(const map_view *view, int end)
{
    return end == end_repeat && !view->repeat_only ? "vor der Grenze"
                                                   : end_class_table[end].name;
}

// Where value lies between the range's ends: 0 at a, 1 at b.
static double axis_place(const map_range *r, double value)
{
    if (r->points < 2 || r->a == r->b)
        return 0.5;
    if (range_is_log(r))
        return (log10(value) - log10(r->a)) / (log10(r->b) - log10(r->a));
    return (value - r->a) / (r->b - r->a);
}

// Adds the tick at value unless it lies outside the range or within gap
// of one there is (an end that is a decade; a 2 beside an end).
static int add_tick(axis_tick *ticks, int n, const map_range *r, double value,
                    double gap)
{
    double at = axis_place(r, value);
    if (n >= axis_ticks_most || !(at >= -1e-9 && at <= 1 + 1e-9))
        return n;
    for (int k = 0; k < n; ++k)
        if (fabs(ticks[k].at - at) < gap)
            return n;
    ticks[n] = axis_tick{at < 0 ? 0 : at > 1 ? 1 : at, value};
    return n + 1;
}

int axis_ticks(const map_range *r, axis_tick ticks[axis_ticks_most])
{
    const double same = 1e-9, apart = 0.08;
    int n = add_tick(ticks, 0, r, r->a, same);
    if (r->points > 1 && r->a != r->b)
        n = add_tick(ticks, n, r, r->b, same);
    if (range_is_log(r) && r->points > 1) {
        double lo = log10(fmin(r->a, r->b));
        double hi = log10(fmax(r->a, r->b));
        // A decade at an end counts although log10 rounds it a little.
        double first = ceil(lo - 1e-9);
        double last = floor(hi + 1e-9);
        if (last - first >= 1) // the decades, not the ends between them
            n = 0;
        double step = fmax(1.0, ceil((last - first + 1) / 8));
        for (double k = first; k <= last; k += step)
            n = add_tick(ticks, n, r, pow(10.0, k), same);
        if (last - first < 2) {
            n = add_tick(ticks, n, r, r->a, apart);
            n = add_tick(ticks, n, r, r->b, apart);
            for (double k = floor(lo); k <= hi; ++k)
                for (double m = 2.0; m <= 5.0; m += 3.0)
                    n = add_tick(ticks, n, r, m * pow(10.0, k), apart);
        }
    }
    // In order from the first point: insertion, a few ticks at most.
    for (int k = 1; k < n; ++k)
        for (int j = k; j > 0 && ticks[j - 1].at > ticks[j].at; --j) {
            axis_tick t = ticks[j];
            ticks[j] = ticks[j - 1];
            ticks[j - 1] = t;
        }
    return n;
}

void tick_text(const map_range *r, double value, int style, char *buf,
               size_t size)
{
    if (!range_is_log(r)) {
        snprintf(buf, size, "%.3g", value);
        return;
    }
    // value = mantissa * 10^exponent with 1 <= mantissa < 10 as printed.
    char e[32];
    snprintf(e, sizeof e, "%.1e", value);
    char *mark = strchr(e, 'e');
    int exponent = atoi(mark + 1);
    *mark = '\0';
    double mantissa = atof(e);
    if (style == tick_plain)
        snprintf(buf, size, "%ge%d", mantissa, exponent);
    else if (mantissa == 1.0)
        snprintf(buf, size, "10^{%d}", exponent);
    else
        snprintf(buf, size, "%g\u00b710^{%d}", mantissa, exponent);
}

void axis_label(const map_spec *spec, int axis, char *buf, size_t size)
{
    int q = axis == 0 ? spec->x : spec->y;
    snprintf(buf, size, "%s%s", quantity_labels[q],
             range_is_log(&spec->range[q]) ? ", logarithmisch" : "");
}

void describe_title(const map_view *view, char *buf, size_t size)
{
    const map_spec *s = view->spec;
    char fixed[64];
    describe_fixed(s, fixed, sizeof fixed);
    snprintf(buf, size, "%s %s: %s, Gitter %d x %d", view_counted(view),
             view_passes_to(view), fixed, s->range[s->x].points,
             s->range[s->y].points);
}

void describe_fixed(const map_spec *spec, char *buf, size_t size)
{
    int fixed = map_quantities - spec->x - spec->y; // the one left over
    snprintf(buf, size, "%s = %g %s", quantity_names[fixed],
             spec->range[fixed].a, quantity_units[fixed]);
}
