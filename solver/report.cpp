// Report lines: the formats below are the only definition. report_print
// writes with them; report_scan reads along them and then accepts a line only
// if writing its values back gives the very same bytes.
#include "solver/report.h"

#include <cinttypes>
#include <cstdlib>
#include <cstring>

#include "input/answer.h"
#include "solver/method.h"

// The pass number is "%4lu" of a 64-bit unsigned long, written so that it
// is a 64-bit number also where long has 32 bits.
#define PASS "%4" PRIu64
#define HEAD " Pass " PASS "    I=%lg   Delta=%lg"
#define ENDS "  a=%lg b=%lg"

#define PLAIN HEAD "\n"
#define WITH_ENDS HEAD ENDS "\n"
#define WITH_WORD HEAD ENDS "  %s\n"
// After the method's letter, by report_kind, for reading.
static const char *const formats[] = {PLAIN, WITH_ENDS, WITH_WORD};

const char report_root_line[] = "Wurzel I*";

// The longest line any format can produce stays far below this.
enum { longest_line = 160 };

// Writes the line into buf (size bytes) as snprintf does; returns what it
// returned.
static int emit(char *buf, size_t size, const report_line *l)
{
    const method_def *def = method_table[l->method];
    if (size < 2)
        return -1;
    buf[0] = def->letter;
    char *rest = buf + 1;
    size_t room = size - 1;
    int n = 0;
    switch (def->shown) {
    case report_plain:
        n = snprintf(rest, room, PLAIN, l->pass, l->i, l->delta);
        break;
    case report_ends:
        n = snprintf(rest, room, WITH_ENDS, l->pass, l->i, l->delta, l->a,
                     l->b);
        break;
    case report_ends_word:
        n = snprintf(rest, room, WITH_WORD, l->pass, l->i, l->delta, l->a, l->b,
                     def->words[l->word]);
        break;
    }
    return n < 0 ? n : n + 1;
}

void report_print(FILE *out, const report_line *l)
{
    char buf[longest_line];
    int n = emit(buf, sizeof buf, l);
    if (n > 0 && static_cast<size_t>(n) < sizeof buf)
        fwrite(buf, 1, static_cast<size_t>(n), out);
}

int report_format(char *buf, size_t size, const report_line *l)
{
    return emit(buf, size, l);
}

void report_end_block(FILE *out)
{
    putc('\n', out);
}

// Reads a word of def's at s into l->word; returns where it ends, or null.
static const char *take_word(const method_def *def, const char *s,
                             report_line *l)
{
    for (int k = 0; def->words != nullptr && def->words[k] != nullptr; ++k) {
        size_t n = strlen(def->words[k]);
        if (strncmp(s, def->words[k], n) == 0) {
            l->word = k;
            return s + n;
        }
    }
    return nullptr;
}

// Reads s along fmt: literal bytes must match, PASS takes the pass
// number after its padding, each "%lg" the next value, "%s" one of the
// method's words. Stops at the line feed that ends every format.
static int follow(const method_def *def, const char *fmt, const char *s,
                  report_line *l)
{
    double *values[] = {&l->i, &l->delta, &l->a, &l->b};
    size_t next = 0;
    for (; *fmt != '\n'; ++fmt) {
        if (*fmt != '%') {
            if (*s++ != *fmt)
                return 0;
            continue;
        }
        char *end = nullptr;
        if (strncmp(fmt, PASS, strlen(PASS)) == 0) {
            s += strspn(s, " ");
            if (*s < '0' || *s > '9')
                return 0;
            l->pass = strtoull(s, &end, 10);
            fmt += strlen(PASS) - 1;
        } else if (fmt[1] == 's') {
            const char *after = take_word(def, s, l);
            if (after == nullptr)
                return 0;
            end = const_cast<char *>(after);
            fmt += 1;
        } else {
            double v = answer_strtod(s, &end);
            if (end == s)
                return 0;
            *values[next++] = v;
            fmt += 2;
        }
        s = end;
    }
    return 1;
}

int report_scan(const char *text, size_t len, report_line *line)
{
    int method = len > 0 ? method_by_letter(text[0]) : -1;
    if (method < 0 || len >= longest_line)
        return 0;
    char copy[longest_line];
    memcpy(copy, text, len);
    copy[len] = '\0';
    report_line l = {method, 0, 0.0, 0.0, 0.0, 0.0, 0};
    const method_def *def = method_table[method];
    if (!follow(def, formats[def->shown], copy + 1, &l))
        return 0;
    char again[2 * longest_line];
    int n = report_format(again, sizeof again, &l);
    if (n < 1 || static_cast<size_t>(n) != len + 1 ||
        memcmp(again, text, len) != 0)
        return 0;
    *line = l;
    return 1;
}
