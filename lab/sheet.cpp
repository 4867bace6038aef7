// Exercise sheets and their keys: the draw of the circuits, the runs of
// each student's circuit, the parts of a sheet and of a key with every
// answer computed from those runs, and the writers of the CSV and of the
// lines for the page (the LaTeX: lab/sheet_latex.cpp).
#include "lab/sheet.h"

#include <cctype>
#include <cinttypes>
#include <cmath>
#include <cstdarg>
#include <cstdlib>
#include <cstring>

#include "lab/compare.h"
#include "lab/utf8.h"
#include "root/root.h"

const char sheet_question_letters[sheet_questions + 1] = "HZKF";

// splitmix64 (Steele, Lea and Flood, 2014): a well-mixed 64-bit value of
// any 64-bit input, in integers only, the same everywhere.
static uint64_t mix(uint64_t z)
{
    z += 0x9e3779b97f4a7c15u;
    z = (z ^ (z >> 30)) * 0xbf58476d1ce4e5b9u;
    z = (z ^ (z >> 27)) * 0x94d049bb133111ebu;
    return z ^ (z >> 31);
}

// The decimal exponent of x > 0 as printf writes it: x = d.ddd * 10^e.
static int decimal_exponent(double x)
{
    char text[32];
    snprintf(text, sizeof text, "%.0e", x);
    return atoi(strchr(text, 'e') + 1);
}

// The values m * 10^e in [lo, hi] with m of digits significant digits, in
// increasing order: how many there are, and where pick < that count, the
// pick-th of them in *value.
static int decimals(double lo, double hi, int digits, uint64_t pick,
                    double *value)
{
    int first = digits == 2 ? 10 : 100, last = digits == 2 ? 99 : 999;
    uint64_t count = 0;
    for (int e = decimal_exponent(lo) - digits; e <= decimal_exponent(hi) + 1;
         ++e)
        for (int m = first; m <= last; ++m) {
            char text[32];
            snprintf(text, sizeof text, "%de%d", m, e);
            double v = strtod(text, nullptr);
            if (v < lo || v > hi)
                continue;
            if (count == pick)
                *value = v;
            ++count;
        }
    return static_cast<int>(count);
}

int sheet_circuit(const sheet_spec *spec, int k, double c[3])
{
    for (int q = 0; q < 3; ++q) {
        double lo = spec->lo[q], hi = spec->hi[q];
        if (lo == hi) {
            c[q] = lo;
            continue;
        }
        uint64_t r = mix(spec->seed ^ mix(3u * static_cast<uint64_t>(k) +
                                          static_cast<uint64_t>(q)));
        int digits = 2, n = decimals(lo, hi, digits, UINT64_MAX, &c[q]);
        if (n == 0)
            n = decimals(lo, hi, ++digits, UINT64_MAX, &c[q]);
        if (n == 0)
            return 0;
        decimals(lo, hi, digits, r % static_cast<uint64_t>(n), &c[q]);
    }
    return 1;
}

int sheet_table_lines(const sheet_spec *spec)
{
    static const int widths[] = {61, 109, 129}; // by report_kind
    int lines = 0, used = 0;
    for (int k = 0; k < spec->methods; ++k) {
        int w = widths[method_table[spec->method[k]]->shown];
        if (used > 0 && used + 4 + w <= 174) {
            used += 4 + w;
            continue;
        }
        used = w;
        lines += spec->passes + 4;
    }
    return lines;
}

// The accented Latin letters that LaTeX composes from its own accents (and
// HTML shows as they are), in UTF-8.
static const char *const latin_letters[] = {
    "À", "Á", "Â", "Ä", "Ç", "È", "É", "Ê", "Ë", "Ì", "Í", "Î",
    "Ï", "Ñ", "Ò", "Ó", "Ô", "Ö", "Ù", "Ú", "Û", "Ü", "Ý", "ß",
    "à", "á", "â", "ä", "ç", "è", "é", "ê", "ë", "ì", "í", "î",
    "ï", "ñ", "ò", "ó", "ô", "ö", "ù", "ú", "û", "ü", "ý", "ÿ"};

int latin_letter(const char *s, size_t n)
{
    for (const char *letter : latin_letters)
        if (strlen(letter) == n && memcmp(letter, s, n) == 0)
            return 1;
    return 0;
}

static int is_separator(char c)
{
    return c == ',' || c == '\n' || c == '\r';
}

// The k-th name of the list (empty ones skipped): its start and length.
static int find_name(const char *names, int k, const char **start, size_t *len)
{
    for (const char *p = names; *p != '\0';) {
        while (is_separator(*p) || *p == ' ' || *p == '\t')
            ++p;
        const char *s = p;
        while (*p != '\0' && !is_separator(*p))
            ++p;
        const char *e = p;
        while (e > s && (e[-1] == ' ' || e[-1] == '\t'))
            --e;
        if (e == s)
            continue;
        if (k-- == 0) {
            *start = s;
            *len = static_cast<size_t>(e - s);
            return 1;
        }
    }
    return 0;
}

int sheet_name_count(const char *names)
{
    int count = 0;
    const char *s;
    size_t len;
    while (names != nullptr && count <= sheet_max_students &&
           find_name(names, count, &s, &len))
        ++count;
    return count;
}

const char *sheet_name(const sheet_spec *spec, int k, char *buf, size_t size)
{
    const char *s;
    size_t len, used = 0;
    buf[0] = '\0';
    if (spec->names == nullptr || !find_name(spec->names, k, &s, &len))
        return buf;
    size_t most = sheet_name_bytes;
    size_t room = size - 1 < most ? size - 1 : most;
    for (size_t at = 0; at < len;) {
        size_t n = utf8_length(s + at);
        n = at + n <= len ? n : 1;
        const char *piece = "?";
        size_t piece_len = 1;
        unsigned char c = static_cast<unsigned char>(s[at]);
        if (n == 1 && (isalnum(c) || strchr(" .-'", c) != nullptr) && c != 0)
            piece = s + at;
        if (n > 1 && latin_letter(s + at, n))
            piece = s + at, piece_len = n;
        if (used + piece_len > room)
            break;
        memcpy(buf + used, piece, piece_len);
        used += piece_len;
        at += n;
    }
    buf[used] = '\0';
    return buf;
}

// A student's runs: the circuit, every chosen method to its end with all
// its report lines, and the true root.
struct student {
    double c[3];
    method_start start;
    lab_run runs[method_count];
    report_line lines[method_count][report_pass_limit];
    true_root root;
};

struct recorder {
    student *s;
    int k; // the method's place among the chosen
};

static void record(const report_line *line, void *context)
{
    recorder *r = static_cast<recorder *>(context);
    lab_run *run = &r->s->runs[r->k];
    run->estimate[line->pass - 1] = line->i;
    run->width[line->pass - 1] = std::fabs(line->b - line->a);
    r->s->lines[r->k][line->pass - 1] = *line;
}

// Whether every student's circuit can be drawn (each range holds a value of
// two or three digits); s is room to draw in.
static int circuits_drawn(const sheet_spec *spec, student *s)
{
    for (int k = 0; k < spec->count; ++k)
        if (!sheet_circuit(spec, k, s->c))
            return 0;
    return 1;
}

static void run_student(const sheet_spec *spec, student *s)
{
    method_default_start(s->c[0], s->c[1], &s->start);
    for (int k = 0; k < spec->methods; ++k) {
        recorder r = {s, k};
        s->runs[k].method = spec->method[k];
        s->runs[k].refusal = refused_none;
        method_run(spec->method[k], s->c[0], s->c[1], s->c[2], &s->start,
                   record, &r, &s->runs[k].end);
    }
    root_find(s->c[0], s->c[1], s->c[2], &s->root);
}

// The texts handed to a sink, built with printf's formats.
struct parts {
    sheet_sink sink;
    void *context;
};

static void hand(const parts *p, enum sheet_part part, int n,
                 const char *const *texts)
{
    p->sink(p->context, part, n, texts);
}

static void say(const parts *p, enum sheet_part part, const char *format, ...)
    __attribute__((format(printf, 3, 4)));
static void say(const parts *p, enum sheet_part part, const char *format, ...)
{
    char text[1024];
    va_list args;
    va_start(args, format);
    vsnprintf(text, sizeof text, format, args);
    va_end(args);
    const char *texts[] = {text};
    hand(p, part, 1, texts);
}

static void numbered(const parts *p, enum sheet_part part, int number,
                     const char *text)
{
    char n[16];
    snprintf(n, sizeof n, "%d", number);
    const char *texts[] = {n, text};
    hand(p, part, 2, texts);
}

// Appends printf's output to buf (size bytes), keeping it terminated.
static void add(char *buf, size_t size, const char *format, ...)
    __attribute__((format(printf, 3, 4)));
static void add(char *buf, size_t size, const char *format, ...)
{
    size_t used = strlen(buf);
    va_list args;
    va_start(args, format);
    vsnprintf(buf + used, size - used, format, args);
    va_end(args);
}

// The method at the chosen place k, its record.
static const method_def *def_of(const sheet_spec *spec, int k)
{
    return method_table[spec->method[k]];
}

// The columns of a method's table, by its report's format.
static int columns_of(const method_def *d)
{
    return d->shown == report_plain ? 3 : d->shown == report_ends ? 5 : 6;
}

static void table(const parts *p, const sheet_spec *spec, const student *s,
                  int k, int key)
{
    const method_def *d = def_of(spec, k);
    int columns = columns_of(d);
    char caption[64];
    snprintf(caption, sizeof caption, "%c %s", d->letter, d->name);
    const char *head[] = {caption,  "Durchlauf", "I in A", "Delta in V",
                          "a in A", "b in A",    "Schritt"};
    hand(p, part_table, columns + 1, head);
    char cell[6][64] = {};
    const char *row[6];
    for (int c = 0; c < 6; ++c)
        row[c] = cell[c];
    snprintf(cell[0], sizeof cell[0], "Start");
    if (d->needs & needs_x)
        snprintf(cell[1], sizeof cell[1], "x_0 = %g", s->start.x);
    else if (d->needs & needs_points)
        snprintf(cell[1], sizeof cell[1], "%g und %g", s->start.a, s->start.b);
    if (columns > 3) {
        snprintf(cell[3], sizeof cell[3], "%g", s->start.a);
        snprintf(cell[4], sizeof cell[4], "%g", s->start.b);
    }
    hand(p, part_row, columns, row);
    uint64_t ran = s->runs[k].end.passes;
    for (int n = 1; n <= spec->passes; ++n) {
        for (int c = 0; c < 6; ++c)
            cell[c][0] = '\0';
        snprintf(cell[0], sizeof cell[0], "%d", n);
        const report_line *l = &s->lines[k][n - 1];
        if (key && static_cast<uint64_t>(n) > ran)
            snprintf(cell[1], sizeof cell[1], "(beendet)");
        else if (key) {
            snprintf(cell[1], sizeof cell[1], "%g", l->i);
            snprintf(cell[2], sizeof cell[2], "%g", l->delta);
            if (columns > 3) {
                snprintf(cell[3], sizeof cell[3], "%g", l->a);
                snprintf(cell[4], sizeof cell[4], "%g", l->b);
            }
            if (columns > 5)
                snprintf(cell[5], sizeof cell[5], "%s", d->words[l->word]);
        }
        hand(p, part_row, columns, row);
    }
    hand(p, part_table_end, 0, nullptr);
}

// The task, the same on the sheet and the key.
static void task(const parts *p, const sheet_spec *spec, const student *s)
{
    say(p, part_text,
        "Gesucht ist der Strom I durch Widerstand und Diode, die Nullstelle "
        "von f(I) = U_T · ln(I / I_S + 1) + R · I − U mit U_T = 0.026 V; "
        "die Ableitung ist f′(I) = U_T / (I + I_S) + R. Hier ist U = %g V, "
        "R = %g Ω und I_S = %g A.",
        s->c[0], s->c[1], s->c[2]);
    unsigned needs = 0;
    char delta_at_start[256] = "";
    for (int k = 0; k < spec->methods; ++k) {
        needs |= def_of(spec, k)->needs;
        if (def_of(spec, k)->delta_at_start)
            add(delta_at_start, sizeof delta_at_start, "%s%s",
                delta_at_start[0] ? " und " : "", def_of(spec, k)->name);
    }
    char text[1024] = "Startwerte:";
    if (needs & (needs_bracket | needs_points))
        add(text, sizeof text,
            " das Intervall [a, b] = [0, U/R] = [%g, %g] A%s", s->start.a,
            s->start.b,
            needs & needs_points ? " (für die Sekante ihre ersten Punkte)"
                                 : "");
    if (needs & needs_x)
        add(text, sizeof text, "%s x_0 = U/R = %g A",
            needs & (needs_bracket | needs_points) ? ";" : "", s->start.x);
    add(text, sizeof text,
        ". Ein Durchlauf gibt einen neuen Wert I und das Residuum Delta = "
        "f(I)%s%s%s.",
        delta_at_start[0] ? " (bei " : "", delta_at_start,
        delta_at_start[0] ? ": f am Startwert des Durchlaufs)" : "");
    say(p, part_text, "%s", text);
}

// The number of passes of bisection from [a, b] until its width is below
// w: the least n with (b - a) / 2^n < w.
static int bisection_count(double width, double w)
{
    int n = 0;
    while (n < 2000 && !(std::ldexp(width, -n) < w))
        ++n;
    return n;
}

// v with enough digits that its text differs from the text of w (at
// least four).
static void apart(char *buf, size_t size, double v, double w)
{
    char other[32];
    for (int digits = 4; digits <= 17; ++digits) {
        snprintf(buf, size, "%.*g", digits, v);
        snprintf(other, sizeof other, "%.*g", digits, w);
        if (strcmp(buf, other) != 0)
            return;
    }
}

static void ask_bisection(const parts *p, const student *s, int number, int key)
{
    double width = s->start.b - s->start.a;
    char text[32];
    snprintf(text, sizeof text, "1e%d", decimal_exponent(width) - 6);
    double w = strtod(text, nullptr);
    char question[512];
    snprintf(question, sizeof question,
             "Wie viele Durchläufe braucht die Halbierung mindestens, bis ihr "
             "Intervall [a, b] = [0, U/R] schmaler ist als w = %g A? "
             "(Ohne die Funktion zu rechnen.)",
             w);
    numbered(p, part_question, number, question);
    if (!key)
        return;
    int n = bisection_count(width, w);
    char after[32], before[32], answer[768];
    apart(after, sizeof after, std::ldexp(width, -n), w);
    apart(before, sizeof before, std::ldexp(width, -(n - 1)), w);
    snprintf(answer, sizeof answer,
             "Jeder Durchlauf halbiert die Breite b − a = %g A. Nach n "
             "Durchläufen ist sie (b − a) / 2^n; zuerst nach n = %d ist sie "
             "kleiner als w: (b − a) / 2^%d = %s A < w, aber (b − a) / 2^%d "
             "= %s A ≥ w. Also n = ⌈log2((b − a) / w)⌉ = %d.",
             width, n, n, after, n - 1, before, n);
    numbered(p, part_answer, number, answer);
}

// The observed order of run k (NaN where it cannot be determined).
static double order_of(const student *s, int k)
{
    if (!s->root.exists)
        return std::nan("");
    double ms[report_pass_limit];
    int n = lab_measures(&s->root, &s->runs[k], ms);
    return root_observed_order(&s->root, ms, n, nullptr);
}

// The method with the highest order among the chosen: observed (where
// observed, NaN where none is) or from the literature; -1 for none.
static int highest(const sheet_spec *spec, const student *s, int observed)
{
    int best = -1;
    double top = -1.0;
    for (int k = 0; k < spec->methods; ++k) {
        double p =
            observed ? order_of(s, k) : strtod(def_of(spec, k)->order, nullptr);
        if (!std::isnan(p) && p > top)
            top = p, best = k;
    }
    return best;
}

// Why the method that ends first (after least passes) does so, as far as
// the orders tell it.
static const char *why_first(const sheet_spec *spec, const student *s,
                             uint64_t least)
{
    static char why[512];
    int first = -1, ties = 0;
    for (int k = 0; k < spec->methods; ++k)
        if (s->runs[k].end.passes == least)
            first = first < 0 ? k : first, ++ties;
    const char *name = def_of(spec, first)->name;
    int observed = highest(spec, s, 1), literature = highest(spec, s, 0);
    why[0] = '\0';
    if (ties > 1)
        add(why, sizeof why, "Mehrere enden gleichzeitig. ");
    if (observed == first ||
        (ties > 1 && observed >= 0 && s->runs[observed].end.passes == least)) {
        add(why, sizeof why,
            "%s hat die höchste beobachtete Ordnung (Literatur %s): je höher "
            "die Ordnung, desto schneller wachsen die richtigen Stellen.",
            def_of(spec, observed)->name, def_of(spec, observed)->order);
        return why;
    }
    if (std::isnan(order_of(s, first))) {
        double ms[report_pass_limit];
        int n = lab_measures(&s->root, &s->runs[first], ms);
        int counted = root_counted(&s->root, ms, n);
        if (counted < 4)
            add(why, sizeof why,
                "Die Ordnung von %s ist hier nicht bestimmbar: nur %d seiner "
                "Durchläufe liegen deutlich über dem Rundungsrauschen. ",
                name, counted);
        else
            add(why, sizeof why,
                "Die Ordnung von %s ist hier nicht bestimmbar: keine zwei "
                "Schätzungen aus benachbarten Durchläufen stimmen überein. ",
                name);
    } else
        add(why, sizeof why,
            "%s endet zuerst, obwohl %s eine höhere beobachtete Ordnung hat: "
            "die Zahl der Durchläufe hängt auch vom Start und vom Abbruch "
            "ab. ",
            name, def_of(spec, observed)->name);
    if (literature == first)
        add(why, sizeof why,
            "Laut Literatur hat %s die höchste Ordnung der gewählten "
            "Verfahren, %s.",
            name, def_of(spec, first)->order);
    else
        add(why, sizeof why, "Laut Literatur hat %s die Ordnung %s.", name,
            def_of(spec, first)->order);
    return why;
}

static void ask_first(const parts *p, const sheet_spec *spec, const student *s,
                      int number, int key)
{
    char question[512] = "Welches der Verfahren ";
    for (int k = 0; k < spec->methods; ++k)
        add(question, sizeof question, "%s%s",
            k == 0                  ? ""
            : k + 1 < spec->methods ? ", "
                                    : " und ",
            def_of(spec, k)->name);
    add(question, sizeof question,
        " endet zuerst, nach wie vielen Durchläufen, und warum?");
    numbered(p, part_question, number, question);
    if (!key)
        return;
    uint64_t least = UINT64_MAX;
    for (int k = 0; k < spec->methods; ++k)
        least = s->runs[k].end.passes < least ? s->runs[k].end.passes : least;
    char answer[1024] = "", first[256] = "", rest[512] = "";
    for (int k = 0; k < spec->methods; ++k) {
        const lab_run *r = &s->runs[k];
        char *into = r->end.passes == least ? first : rest;
        size_t size = r->end.passes == least ? sizeof first : sizeof rest;
        double order = order_of(s, k);
        char said[32];
        if (std::isnan(order))
            snprintf(said, sizeof said, "nicht bestimmbar");
        else
            snprintf(said, sizeof said, "%.2f, %s", order,
                     lab_order_word(order));
        add(into, size, "%s%s nach %" PRIu64 " %s (%s; beobachtete Ordnung %s)",
            into[0] ? ", " : "", def_of(spec, k)->name, r->end.passes,
            r->end.passes == 1 ? "Durchlauf" : "Durchläufen",
            method_ending_names[r->end.ending], said);
    }
    add(answer, sizeof answer, "Zuerst endet %s. ", first);
    if (rest[0])
        add(answer, sizeof answer, "Später: %s. ", rest);
    add(answer, sizeof answer, "%s", why_first(spec, s, least));
    numbered(p, part_answer, number, answer);
}

// Whether regula falsi (chosen at k) creeps on the circuit: one end stays
// in every pass, and its error shrinks by a mean factor above 0.5, slower
// than bisection. *end is 0 where a stays, 1 where b stays.
static int creeps(const student *s, int k, int *end)
{
    const lab_run *r = &s->runs[k];
    int n = static_cast<int>(r->end.passes);
    int a_stays = 1, b_stays = 1;
    for (int j = 0; j < n; ++j) {
        a_stays &= s->lines[k][j].a == s->start.a;
        b_stays &= s->lines[k][j].b == s->start.b;
    }
    if (!s->root.exists || n < 3 || !(a_stays || b_stays))
        return 0;
    double ms[report_pass_limit];
    root_errors(&s->root, r->estimate, n, ms);
    *end = a_stays ? 0 : 1;
    return root_rate(&s->root, ms, n) > 0.5;
}

static void ask_creep(const parts *p, const student *s, int k, int number,
                      int key)
{
    int end = 0;
    creeps(s, k, &end);
    numbered(p, part_question, number,
             "Die Regula falsi kriecht hier. Welches Ende ihres Intervalls "
             "bleibt stehen, und warum?");
    if (!key)
        return;
    const lab_run *r = &s->runs[k];
    int n = static_cast<int>(r->end.passes), right = 0;
    for (int j = 0; j < n; ++j)
        right += root_error(&s->root, r->estimate[j]) > 0.0;
    double ms[report_pass_limit];
    root_errors(&s->root, r->estimate, n, ms);
    char answer[1024];
    snprintf(answer, sizeof answer,
             "Das Ende %s = %g bleibt in allen %d Durchläufen stehen, nur %s "
             "rückt nach. Der Fehler schrumpft im Mittel nur um den Faktor "
             "%.2f je Durchlauf (die Halbierung: 0.5). In %d von %d "
             "Durchläufen liegt der neue Wert rechts von I*.%s",
             end == 0 ? "a" : "b", end == 0 ? s->start.a : s->start.b, n,
             end == 0 ? "b" : "a", root_rate(&s->root, ms, n), right, n,
             end == 0 ? " Der Grund: f ist konkav, f″(I) = −U_T / (I + I_S)^2 "
                        "< 0. Die Sekante durch die Enden liegt unter der "
                        "Kurve und trifft die Achse rechts von I*; so ersetzt "
                        "jeder Durchlauf b, und a bleibt, wie weit es auch "
                        "von I* entfernt ist."
                      : "");
    numbered(p, part_answer, number, answer);
}

static void ask_error(const parts *p, const sheet_spec *spec, const student *s,
                      int number, int key)
{
    char question[256];
    snprintf(question, sizeof question,
             "Schätzen Sie I* aus Ihren Tabellen. Wie groß ist der Fehler "
             "|I_%d − I*| nach Durchlauf %d bei jedem Verfahren?",
             spec->passes, spec->passes);
    numbered(p, part_question, number, question);
    if (!key)
        return;
    char answer[1024];
    snprintf(answer, sizeof answer, "Mit I* = %.17g A: ", s->root.nearest);
    for (int k = 0; k < spec->methods; ++k) {
        uint64_t ran = s->runs[k].end.passes;
        uint64_t at = ran < static_cast<uint64_t>(spec->passes)
                          ? ran
                          : static_cast<uint64_t>(spec->passes);
        double e = root_error(&s->root, s->runs[k].estimate[at - 1]);
        if (at < static_cast<uint64_t>(spec->passes))
            add(answer, sizeof answer,
                "%s%s endet schon nach %" PRIu64 " Durchläufen, |I_%" PRIu64
                " − I*| = %.3g A",
                k ? "; " : "", def_of(spec, k)->name, at, at, std::fabs(e));
        else
            add(answer, sizeof answer, "%s%s %.3g A", k ? "; " : "",
                def_of(spec, k)->name, std::fabs(e));
    }
    add(answer, sizeof answer, ".");
    numbered(p, part_answer, number, answer);
}

static int falsi_at(const sheet_spec *spec)
{
    for (int k = 0; k < spec->methods; ++k)
        if (def_of(spec, k) == &method_regula_falsi)
            return k;
    return -1;
}

static void student_parts(const parts *p, const sheet_spec *spec, int k,
                          student *s, int key)
{
    char name[64], title[128];
    sheet_name(spec, k, name, sizeof name);
    snprintf(title, sizeof title, "%s %d von %d%s%s",
             key ? "Lösung zu Blatt" : "Übungsblatt", k + 1, spec->count,
             name[0] ? ": " : "", name);
    const char *titles[] = {title};
    hand(p, part_page, 1, titles);
    if (!key && !name[0])
        say(p, part_text, "Name: ______________________________");
    char values[3][32];
    const char *circuit[3] = {values[0], values[1], values[2]};
    for (int q = 0; q < 3; ++q)
        snprintf(values[q], sizeof values[q], "%g", s->c[q]);
    hand(p, part_circuit, 3, circuit);
    task(p, spec, s);
    say(p, part_text, "%s",
        key ? "Die Durchläufe, wie diodesolve und diodelab sie schreiben:"
            : "Tragen Sie für jedes Verfahren die Durchläufe ein: I und "
              "Delta auf 6 geltende Ziffern, bei einem Intervall auch dessen "
              "Enden a und b nach dem Durchlauf.");
    for (int m = 0; m < spec->methods; ++m)
        table(p, spec, s, m, key);
    if (key && s->root.exists) {
        char digits[128];
        say(p, part_text,
            "Wahre Nullstelle I* = %.17g A (das nächste double); auf 40 "
            "Stellen I* = %s A.",
            s->root.nearest,
            root_digits_text(&s->root, 40, digits, sizeof digits));
    }
    int number = 0, falsi = falsi_at(spec), end = 0;
    if (spec->questions & question_bisection)
        ask_bisection(p, s, ++number, key);
    if ((spec->questions & question_first) && spec->methods > 1)
        ask_first(p, spec, s, ++number, key);
    if ((spec->questions & question_creep) && falsi >= 0 &&
        creeps(s, falsi, &end))
        ask_creep(p, s, falsi, ++number, key);
    if ((spec->questions & question_error) && s->root.exists)
        ask_error(p, spec, s, ++number, key);
}

int sheet_parts(const sheet_spec *spec, int key, int students, sheet_sink sink,
                void *context)
{
    static student s;
    parts p = {sink, context};
    if (!circuits_drawn(spec, &s))
        return 0;
    for (int k = 0; k < spec->count && k < students; ++k) {
        sheet_circuit(spec, k, s.c);
        run_student(spec, &s);
        student_parts(&p, spec, k, &s, key);
    }
    return 1;
}

int sheet_write_csv(FILE *out, const sheet_spec *spec)
{
    static student s;
    fputs("blatt,U,R,IS,verfahren,durchlauf,I,Delta\n", out);
    if (!circuits_drawn(spec, &s))
        return 0;
    for (int k = 0; k < spec->count; ++k) {
        sheet_circuit(spec, k, s.c);
        run_student(spec, &s);
        for (int m = 0; m < spec->methods; ++m) {
            uint64_t ran = s.runs[m].end.passes;
            for (int n = 0; n < spec->passes && static_cast<uint64_t>(n) < ran;
                 ++n)
                fprintf(out, "%d,%.17g,%.17g,%.17g,%c,%d,%.17g,%.17g\n", k + 1,
                        s.c[0], s.c[1], s.c[2], def_of(spec, m)->letter, n + 1,
                        s.lines[m][n].i, s.lines[m][n].delta);
        }
    }
    return 1;
}

static void line_part(void *context, enum sheet_part part, int n,
                      const char *const *texts)
{
    FILE *out = static_cast<FILE *>(context);
    fprintf(out, "%d", static_cast<int>(part));
    for (int k = 0; k < n; ++k)
        fprintf(out, "\t%s", texts[k]);
    fputc('\n', out);
}

int sheet_write_lines(FILE *out, const sheet_spec *spec, int key, int students)
{
    return sheet_parts(spec, key, students, line_part, out);
}
