// Parser for diodesolve transcripts: finds the report lines and checks that
// each method's passes are complete and numbered without gaps.
#include "report.h"

#include <cstdlib>
#include <cstring>

static const char method_letters[] = "HRN";
static const char *const method_names[report_methods] = {
    "Halbierung", "Regula falsi", "Newton"};

// Where the report line in line begins (at its start, or after the prompts
// that precede the first one), or null if it holds none.
static const char *find_report(const char *line)
{
    for (const char *p = line; *p != '\0'; ++p) {
        if ((p == line || p[-1] == ' ') && strchr(method_letters, *p) &&
            strncmp(p + 1, " Pass ", 6) == 0)
            return p;
    }
    return nullptr;
}

// Reads "name=number" after optional spaces; advances *s past it.
static int read_field(const char **s, const char *name, double *value)
{
    const char *p = *s + strspn(*s, " ");
    size_t n = strlen(name);
    if (p == *s || strncmp(p, name, n) != 0)
        return 0;
    char *end = nullptr;
    *value = strtod(p + n, &end);
    if (end == p + n)
        return 0;
    *s = end;
    return 1;
}

// Parses one report line completely: "K Pass n    I=x   Delta=d", with
// "  a=x b=x" after it for regula falsi, and nothing else.
static int parse_line(const char *s, int *method, unsigned long *pass,
                      double *delta)
{
    *method = static_cast<int>(strchr(method_letters, s[0]) - method_letters);
    const char *p = s + 6;
    p += strspn(p, " ");
    if (*p < '0' || *p > '9')
        return 0;
    char *end = nullptr;
    *pass = strtoul(p, &end, 10);
    p = end;
    double ignored;
    if (!read_field(&p, "I=", &ignored) || !read_field(&p, "Delta=", delta))
        return 0;
    if (*method == 1 &&
        (!read_field(&p, "a=", &ignored) || !read_field(&p, "b=", &ignored)))
        return 0;
    return strcmp(p, "\n") == 0;
}

int read_report(FILE *in, report_series series[report_methods], char *why,
                size_t why_size)
{
    char line[512];
    unsigned long number = 0;
    unsigned long reports = 0;
    for (int m = 0; m < report_methods; ++m)
        series[m].passes = 0;

    while (fgets(line, sizeof line, in) != nullptr) {
        ++number;
        size_t len = strlen(line);
        int whole = len > 0 && line[len - 1] == '\n';
        if (!whole && !feof(in)) { // longer than any report line: skip it
            int c;
            while ((c = getc(in)) != EOF && c != '\n') {
            }
        }
        const char *report = find_report(line);
        if (report == nullptr)
            continue;

        int m = 0;
        unsigned long pass = 0;
        double delta = 0.0;
        if (!whole || !parse_line(report, &m, &pass, &delta)) {
            size_t shown = strcspn(report, "\n");
            snprintf(why, why_size,
                     "Zeile %lu ist eine abgeschnittene oder fehlerhafte "
                     "Berichtszeile: \"%.*s\"!",
                     number, static_cast<int>(shown < 60 ? shown : 60), report);
            return 0;
        }
        report_series *s = &series[m];
        if (pass != s->passes + 1 || pass > report_max_passes) {
            snprintf(why, why_size,
                     "Zeile %lu: Durchlauf %lu von %s folgt nicht auf "
                     "Durchlauf %lu!",
                     number, pass, method_names[m], s->passes);
            return 0;
        }
        s->delta[s->passes++] = delta;
        ++reports;
    }
    if (reports == 0) {
        snprintf(why, why_size, "Keine Berichtszeilen in der Eingabe!");
        return 0;
    }
    for (int m = 0; m < report_methods; ++m) {
        if (series[m].passes == 0) {
            snprintf(why, why_size, "Der Block von %s fehlt!", method_names[m]);
            return 0;
        }
    }
    return 1;
}
