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

int pass_bucket(unsigned char passes)
{
    int bucket = 0;
    while (bucket < pass_buckets - 1 && (passes >> (bucket + 2)) != 0)
        ++bucket;
    return bucket;
}

int pass_bucket_start(int k)
{
    return 2 << k;
}

const end_class_words end_class_table[end_classes] = {
    {"Wiederholung", "", ""},
    {"kreist", "kreist (wechselt zwischen zwei Werten)",
     "dunkelgrau kreist (zwischen zwei Werten)"},
    {"kriecht", "kriecht (ohne Wiederholung, I endlich)", "hellgrau kriecht"},
    {"nan/inf", "I nan oder inf", "rot mit I = nan oder inf"}};

static unsigned char ending_of(const method_outcome *o)
{
    if (o->ending != ending_limit)
        return o->passes;
    if (!std::isfinite(o->last))
        return ending_code(end_limit_nan);
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
        unsigned repeat =
            METHOD_ENDS(ending_repeat) | METHOD_ENDS(ending_limit);
        view->repeat_only &= (def->endings & ~repeat) == 0;
        if (def->first_stop < view->first_pass)
            view->first_pass = def->first_stop;
    }
    view->cols = cols < width ? cols : width;
    view->rows = rows < height ? rows : height;
    size_t cells = static_cast<size_t>(view->cols) *
                   static_cast<size_t>(view->rows) *
                   static_cast<size_t>(spec->methods);
    view->ending = static_cast<unsigned char *>(malloc(cells));
    return view->ending != nullptr ? 0 : -1;
}

void view_end(map_view *view)
{
    free(view->ending);
    view->ending = nullptr;
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
            for (int m = 0; m < methods; ++m)
                v->ending[offset(v, m, v->next, c)] = ending_of(&cell[m]);
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

void describe_shares(const map_view *view, int method, char *buf, size_t size)
{
    int n = snprintf(buf, size,
                     "%s %.1f %%, Grenze:", view_class_name(view, end_repeat),
                     view_share(view, method, end_repeat));
    for (int k = end_repeat + 1;
         k < end_classes && n >= 0 && static_cast<size_t>(n) < size; ++k)
        n += snprintf(buf + n, size - static_cast<size_t>(n), "%s %s %.1f %%",
                      k > end_repeat + 1 ? "," : "", end_class_table[k].name,
                      view_share(view, method, k));
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

void describe_fixed(const map_spec *spec, char *buf, size_t size)
{
    int fixed = map_quantities - spec->x - spec->y; // the one left over
    snprintf(buf, size, "%s = %g %s", quantity_names[fixed],
             spec->range[fixed].a, quantity_units[fixed]);
}
