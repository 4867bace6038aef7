// Parser for diodesolve transcripts: finds the report lines and checks that
// each method's block is complete, numbered without gaps and closed.
#include "transcript.h"

#include <cstring>

#include "cli.h"

static const size_t line_cap = 512;
static const size_t echo_max = 60;

// Reads one line without its line end into buf (its first line_cap bytes).
// Returns 0 at the end of input; otherwise sets *len to the length of the
// whole line and *complete to whether a line feed ended it.
static int next_line(FILE *in, char *buf, size_t *len, int *complete)
{
    size_t n = 0;
    int c;
    while ((c = getc(in)) != EOF && c != '\n') {
        if (n < line_cap)
            buf[n] = static_cast<char>(c);
        ++n;
    }
    if (n == 0 && c == EOF)
        return 0;
    *complete = c == '\n';
    if (*complete && n > 0 && n <= line_cap && buf[n - 1] == '\r')
        --n;
    *len = n;
    return 1;
}

// Where a report line begins in the line: at its start or after a space.
static const char *find_report(const char *s, size_t n)
{
    for (size_t k = 0; k + 7 <= n; ++k) {
        if ((k == 0 || s[k - 1] == ' ') && s[k] != '\0' &&
            strchr(report_letters, s[k]) && memcmp(s + k + 1, " Pass ", 6) == 0)
            return s + k;
    }
    return nullptr;
}

// Where the reader stands: the line number, the report lines taken so far
// and the method whose block is still open (-1 if none).
struct reading {
    transcript_series *series;
    unsigned long number;
    unsigned long reports;
    int open;
};

static int broken_block(const reading *st, char *why, size_t why_size)
{
    snprintf(why, why_size, "Zeile %lu: Der Block von %s endet ohne Leerzeile!",
             st->number, report_names[st->open]);
    return 0;
}

// Takes the next line (len bytes in all, the first line_cap of them in
// line). Returns 0 with why filled when the transcript is broken there.
static int take_line(reading *st, const char *line, size_t len, int complete,
                     char *why, size_t why_size)
{
    size_t kept = len < line_cap ? len : line_cap;
    const char *at = find_report(line, kept);
    if (at == nullptr) {
        if (len == 0) // an empty line closes the open block
            st->open = -1;
        else if (st->open >= 0)
            return broken_block(st, why, why_size);
        return 1;
    }
    size_t skipped = static_cast<size_t>(at - line);
    report_line r;
    if (!complete || len > line_cap || !report_scan(at, len - skipped, &r)) {
        char shown[4 * echo_max + 1];
        escape_bytes(shown, sizeof shown, at, kept - skipped, echo_max);
        snprintf(why, why_size,
                 "Zeile %lu ist eine abgeschnittene oder fehlerhafte "
                 "Berichtszeile: \"%s\"!",
                 st->number, shown);
        return 0;
    }
    if (st->open >= 0 && st->open != r.method)
        return broken_block(st, why, why_size);
    transcript_series *s = &st->series[r.method];
    if (r.pass != s->passes + 1 || r.pass > report_pass_limit) {
        snprintf(why, why_size,
                 "Zeile %lu: Durchlauf %lu von %s folgt nicht auf "
                 "Durchlauf %lu!",
                 st->number, r.pass, report_names[r.method], s->passes);
        return 0;
    }
    s->delta[s->passes++] = r.delta;
    st->open = r.method;
    ++st->reports;
    return 1;
}

// At the end of the input: every block closed, all three there.
static int check_end(const reading *st, char *why, size_t why_size)
{
    if (st->open >= 0) {
        snprintf(why, why_size,
                 "Der Block von %s ist unvollstaendig: die Eingabe endet "
                 "nach Durchlauf %lu!",
                 report_names[st->open], st->series[st->open].passes);
        return 0;
    }
    if (st->reports == 0) {
        snprintf(why, why_size, "Keine Berichtszeilen in der Eingabe!");
        return 0;
    }
    for (int m = 0; m < report_methods; ++m) {
        if (st->series[m].passes == 0) {
            snprintf(why, why_size, "Der Block von %s fehlt!", report_names[m]);
            return 0;
        }
    }
    return 1;
}

int read_transcript(FILE *in, transcript_series series[report_methods],
                    char *why, size_t why_size)
{
    reading st = {series, 0, 0, -1};
    for (int m = 0; m < report_methods; ++m)
        series[m].passes = 0;
    char line[line_cap];
    size_t len = 0;
    int complete = 0;
    for (;;) {
        int got = next_line(in, line, &len, &complete);
        if (ferror(in)) {
            snprintf(why, why_size, "Die Eingabe ist nicht lesbar!");
            return 0;
        }
        if (!got)
            return check_end(&st, why, why_size);
        ++st.number;
        if (!take_line(&st, line, len, complete, why, why_size))
            return 0;
    }
}
