// Parser for transcripts of diodesolve and diodelab: finds the report lines
// and checks that each method's block is complete, numbered without gaps
// and closed, and that the methods are those of the program.
#include "plot/transcript.h"

#include <cinttypes>
#include <cstring>

#include "common/args.h"

// A report line is far shorter than this; what follows its start beyond
// it is not kept.
static const size_t report_cap = 256;
static const size_t echo_max = 60;
static const size_t head_cap = 48;

// diodesolve's methods, when no comparison names others.
static const char solver_letters[] = "HRN";

// One line of input, without its line end: its length, its first head_cap
// bytes, and the report line in it, if any, from its start (the first
// report_cap bytes of it kept).
struct line_in {
    size_t len;
    int complete; // a line feed ended it
    char head[head_cap];
    int has_report;
    size_t report_len;
    char report[report_cap];
};

// Does the line, n bytes into it with the last 8 in window, end in the
// opening of a report line that stands at its start or after a space?
static int opens_report(const char *window, size_t n)
{
    const char *w = window + 1;
    return n >= 7 && (n == 7 || window[0] == ' ') &&
           method_by_letter(w[0]) >= 0 && memcmp(w + 1, " Pass ", 6) == 0;
}

// Reads the next line, of any length and holding any bytes, into *l.
// Returns 0 at the end of input.
static int next_line(FILE *in, line_in *l)
{
    char window[8] = {0, 0, 0, 0, 0, 0, 0, 0};
    size_t n = 0;
    int c;
    l->has_report = 0;
    l->report_len = 0;
    while ((c = getc(in)) != EOF && c != '\n') {
        memmove(window, window + 1, 7);
        window[7] = static_cast<char>(c);
        if (n < head_cap)
            l->head[n] = window[7];
        ++n;
        if (l->has_report) {
            if (l->report_len < report_cap)
                l->report[l->report_len] = window[7];
            ++l->report_len;
        } else if (opens_report(window, n)) {
            l->has_report = 1;
            l->report_len = 7;
            memcpy(l->report, window + 1, 7);
        }
    }
    if (n == 0 && c == EOF)
        return 0;
    l->complete = c == '\n';
    if (l->complete && n > 0 && window[7] == '\r') { // CR LF ends the line
        --n;
        if (l->has_report)
            --l->report_len;
    }
    l->len = n;
    return 1;
}

// Where the reader stands: the line number, the report lines taken so far,
// the method whose block is still open (-1 if none), whether diodelab's
// comparison began, and how often it named each method.
struct reading {
    transcript *t;
    unsigned long number;
    unsigned long reports;
    int open;
    int lab;
    int compared[method_count];
};

// The method whose comparison line head is ("H Halbierung ..."), or -1.
static int compared_method(const char *head, size_t len)
{
    int m = len > 2 ? method_by_letter(head[0]) : -1;
    if (m < 0 || head[1] != ' ')
        return -1;
    size_t n = strlen(method_table[m]->name);
    return len > n + 2 && memcmp(head + 2, method_table[m]->name, n) == 0 &&
                   head[n + 2] == ' '
               ? m
               : -1;
}

static int broken_block(const reading *st, char *why, size_t why_size)
{
    snprintf(why, why_size, "Zeile %lu: Der Block von %s endet ohne Leerzeile!",
             st->number, method_table[st->open]->name);
    return 0;
}

// Takes the next line. Returns 0 with why filled when the transcript is
// broken there.
static int take_line(reading *st, const line_in *l, char *why, size_t why_size)
{
    if (!l->has_report) {
        size_t len = l->len < head_cap ? l->len : head_cap;
        size_t root = strlen(report_root_line);
        if (l->len == 0) // an empty line closes the open block
            st->open = -1;
        else if (st->open >= 0)
            return broken_block(st, why, why_size);
        else if (len >= root && memcmp(l->head, report_root_line, root) == 0)
            st->lab = 1;
        else if (st->lab && compared_method(l->head, len) >= 0)
            ++st->compared[compared_method(l->head, len)];
        return 1;
    }
    report_line r;
    size_t kept = l->report_len < report_cap ? l->report_len : report_cap;
    if (!l->complete || l->report_len > report_cap ||
        !report_scan(l->report, l->report_len, &r)) {
        char shown[4 * echo_max + 1];
        escape_bytes(shown, sizeof shown, l->report, kept, echo_max);
        snprintf(why, why_size,
                 "Zeile %lu ist eine abgeschnittene oder fehlerhafte "
                 "Berichtszeile: \"%s\"!",
                 st->number, shown);
        return 0;
    }
    if (st->open >= 0 && st->open != r.method)
        return broken_block(st, why, why_size);
    transcript_series *s = &st->t->series[r.method];
    if (st->open < 0 && s->passes > 0) { // one block is one run
        snprintf(why, why_size,
                 "Zeile %lu: Der Block von %s ist schon beendet; Durchlauf "
                 "%" PRIu64 " setzt ihn fort!",
                 st->number, method_table[r.method]->name, r.pass);
        return 0;
    }
    if (r.pass != s->passes + 1 || r.pass > report_pass_limit) {
        snprintf(why, why_size,
                 "Zeile %lu: Durchlauf %" PRIu64 " von %s folgt nicht auf "
                 "Durchlauf %lu!",
                 st->number, r.pass, method_table[r.method]->name, s->passes);
        return 0;
    }
    if (s->passes == 0)
        st->t->order[st->t->count++] = r.method;
    s->current[s->passes] = r.i;
    s->delta[s->passes++] = r.delta;
    st->open = r.method;
    ++st->reports;
    return 1;
}

// Whether the transcript should hold a block of method m: one of
// diodesolve's, or one that diodelab's comparison names.
static int expected(const reading *st, int m)
{
    return st->lab ? st->compared[m] > 0
                   : strchr(solver_letters, method_table[m]->letter) != nullptr;
}

// At the end of the input: every block closed, the program's methods
// there, each once, and none else.
static int check_end(const reading *st, char *why, size_t why_size)
{
    const transcript *t = st->t;
    if (st->open >= 0) {
        snprintf(why, why_size,
                 "Der Block von %s ist unvollstaendig: die Eingabe endet "
                 "nach Durchlauf %lu!",
                 method_table[st->open]->name, t->series[st->open].passes);
        return 0;
    }
    if (st->reports == 0) {
        snprintf(why, why_size, "Keine Berichtszeilen in der Eingabe!");
        return 0;
    }
    for (int m = 0; m < method_count && !st->lab; ++m) {
        if (!expected(st, m) && t->series[m].passes > 0) {
            snprintf(why, why_size,
                     "Der Block von %s gehoert nicht zu diodesolve, und der "
                     "Vergleich von diodelab fehlt!",
                     method_table[m]->name);
            return 0;
        }
    }
    for (int m = 0; m < method_count; ++m) {
        const char *name = method_table[m]->name;
        if (expected(st, m) && t->series[m].passes == 0) {
            snprintf(why, why_size, "Der Block von %s fehlt!", name);
            return 0;
        }
        if (!expected(st, m) && t->series[m].passes > 0) {
            snprintf(why, why_size, "Der Vergleich nennt %s nicht!", name);
            return 0;
        }
        if (st->compared[m] > 1) {
            snprintf(why, why_size, "Der Vergleich nennt %s mehrmals!", name);
            return 0;
        }
    }
    return 1;
}

int read_transcript(FILE *in, transcript *t, char *why, size_t why_size)
{
    reading st = {t, 0, 0, -1, 0, {}};
    for (int m = 0; m < method_count; ++m)
        t->series[m].passes = 0;
    t->count = 0;
    line_in line;
    for (;;) {
        int got = next_line(in, &line);
        if (ferror(in)) {
            snprintf(why, why_size, "Die Eingabe ist nicht lesbar!");
            return 0;
        }
        if (!got)
            return check_end(&st, why, why_size);
        ++st.number;
        if (!take_line(&st, &line, why, why_size))
            return 0;
    }
}
