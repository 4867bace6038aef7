// Exercise sheets and their keys: the draw of the circuits, the runs of
// each student's circuit, the parts of a sheet and of a key (the questions:
// lab/sheet_questions.cpp), and the writers of the CSV and of the lines for
// the page (the LaTeX: lab/sheet_latex.cpp).
#include "lab/sheet.h"

#include <cctype>
#include <cinttypes>
#include <cmath>
#include <cstdarg>
#include <cstdlib>
#include <cstring>

#include "lab/sheet_parts.h"
#include "lab/utf8.h"

const char sheet_question_letters[sheet_questions + 1] = "HZKF";

// The decimal exponent of x > 0 as printf writes it: x = d.ddd * 10^e.
int sheet_decimal_exponent(double x)
{
    char text[32];
    snprintf(text, sizeof text, "%.0e", x);
    return atoi(strchr(text, 'e') + 1);
}

// splitmix64 (Steele, Lea and Flood, 2014): a well-mixed 64-bit value of
// any 64-bit input, in integers only, the same everywhere.
static uint64_t mix(uint64_t z)
{
    z += 0x9e3779b97f4a7c15u;
    z = (z ^ (z >> 30)) * 0xbf58476d1ce4e5b9u;
    z = (z ^ (z >> 27)) * 0x94d049bb133111ebu;
    return z ^ (z >> 31);
}

// The values m * 10^e in [lo, hi] with m of digits significant digits, in
// increasing order: how many there are, and where pick < that count, the
// pick-th of them in *value.
static int decimals(double lo, double hi, int digits, uint64_t pick,
                    double *value)
{
    int first = digits == 2 ? 10 : 100, last = digits == 2 ? 99 : 999;
    uint64_t count = 0;
    for (int e = sheet_decimal_exponent(lo) - digits;
         e <= sheet_decimal_exponent(hi) + 1; ++e)
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

struct recorder {
    sheet_student *s;
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
static int circuits_drawn(const sheet_spec *spec, sheet_student *s)
{
    for (int k = 0; k < spec->count; ++k)
        if (!sheet_circuit(spec, k, s->c))
            return 0;
    return 1;
}

static void run_student(const sheet_spec *spec, sheet_student *s)
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

void sheet_hand(const sheet_texts *p, enum sheet_part part, int n,
                const char *const *texts)
{
    p->sink(p->context, part, n, texts);
}

// Hands one text of a part, built with printf's format.
static void say(const sheet_texts *p, enum sheet_part part, const char *format,
                ...) __attribute__((format(printf, 3, 4)));
static void say(const sheet_texts *p, enum sheet_part part, const char *format,
                ...)
{
    char text[1024];
    va_list args;
    va_start(args, format);
    vsnprintf(text, sizeof text, format, args);
    va_end(args);
    const char *texts[] = {text};
    sheet_hand(p, part, 1, texts);
}

void sheet_numbered(const sheet_texts *p, enum sheet_part part, int number,
                    const char *text)
{
    char n[16];
    snprintf(n, sizeof n, "%d", number);
    const char *texts[] = {n, text};
    sheet_hand(p, part, 2, texts);
}

void sheet_add(char *buf, size_t size, const char *format, ...)
{
    size_t used = strlen(buf);
    va_list args;
    va_start(args, format);
    vsnprintf(buf + used, size - used, format, args);
    va_end(args);
}

const method_def *sheet_def(const sheet_spec *spec, int k)
{
    return method_table[spec->method[k]];
}

// The columns of a method's table, by its report's format.
static int columns_of(const method_def *d)
{
    return d->shown == report_plain ? 3 : d->shown == report_ends ? 5 : 6;
}

static void table(const sheet_texts *p, const sheet_spec *spec,
                  const sheet_student *s, int k, int key)
{
    const method_def *d = sheet_def(spec, k);
    int columns = columns_of(d);
    char caption[64];
    snprintf(caption, sizeof caption, "%c %s", d->letter, d->name);
    const char *head[] = {caption,  "Durchlauf", "I in A", "Delta in V",
                          "a in A", "b in A",    "Schritt"};
    sheet_hand(p, part_table, columns + 1, head);
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
    sheet_hand(p, part_row, columns, row);
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
        sheet_hand(p, part_row, columns, row);
    }
    sheet_hand(p, part_table_end, 0, nullptr);
}

// The task, the same on the sheet and the key.
static void task(const sheet_texts *p, const sheet_spec *spec,
                 const sheet_student *s)
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
        needs |= sheet_def(spec, k)->needs;
        if (sheet_def(spec, k)->delta_at_start)
            sheet_add(delta_at_start, sizeof delta_at_start, "%s%s",
                      delta_at_start[0] ? " und " : "",
                      sheet_def(spec, k)->name);
    }
    char text[1024] = "Startwerte:";
    if (needs & (needs_bracket | needs_points))
        sheet_add(text, sizeof text,
                  " das Intervall [a, b] = [0, U/R] = [%g, %g] A%s", s->start.a,
                  s->start.b,
                  needs & needs_points ? " (für die Sekante ihre ersten Punkte)"
                                       : "");
    if (needs & needs_x)
        sheet_add(text, sizeof text, "%s x_0 = U/R = %g A",
                  needs & (needs_bracket | needs_points) ? ";" : "",
                  s->start.x);
    sheet_add(
        text, sizeof text,
        ". Ein Durchlauf gibt einen neuen Wert I und das Residuum Delta = "
        "f(I)%s%s%s.",
        delta_at_start[0] ? " (bei " : "", delta_at_start,
        delta_at_start[0] ? ": f am Startwert des Durchlaufs)" : "");
    say(p, part_text, "%s", text);
}

static void student_parts(const sheet_texts *p, const sheet_spec *spec, int k,
                          sheet_student *s, int key)
{
    char name[64], title[128];
    sheet_name(spec, k, name, sizeof name);
    snprintf(title, sizeof title, "%s %d von %d%s%s",
             key ? "Lösung zu Blatt" : "Übungsblatt", k + 1, spec->count,
             name[0] ? ": " : "", name);
    const char *titles[] = {title};
    sheet_hand(p, part_page, 1, titles);
    if (!key && !name[0])
        say(p, part_text, "Name: ______________________________");
    char values[3][32];
    const char *circuit[3] = {values[0], values[1], values[2]};
    for (int q = 0; q < 3; ++q)
        snprintf(values[q], sizeof values[q], "%g", s->c[q]);
    sheet_hand(p, part_circuit, 3, circuit);
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
    sheet_ask(p, spec, s, key);
}

int sheet_parts(const sheet_spec *spec, int key, int students, sheet_sink sink,
                void *context)
{
    static sheet_student s;
    sheet_texts p = {sink, context};
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
    static sheet_student s;
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
                        s.c[0], s.c[1], s.c[2], sheet_def(spec, m)->letter,
                        n + 1, s.lines[m][n].i, s.lines[m][n].delta);
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
