// Report lines: the formats below are the only definition. report_print
// writes with them; report_scan reads along them and then accepts a line only
// if writing its values back gives the very same bytes.
#include "solver/report.h"

#include <cinttypes>
#include <cmath>
#include <cstdlib>
#include <cstring>

// The pass number is "%4lu" of a 64-bit unsigned long, written so that it
// is a 64-bit number also where long has 32 bits.
#define PASS "%4" PRIu64
#define FORMAT_H "H Pass " PASS "    I=%lg   Delta=%lg\n"
#define FORMAT_R "R Pass " PASS "    I=%lg   Delta=%lg  a=%lg b=%lg\n"
#define FORMAT_N "N Pass " PASS "    I=%lg   Delta=%lg\n"

const char report_letters[] = "HRN";
const char *const report_names[report_methods] = {"Halbierung", "Regula falsi",
                                                  "Newton"};
const char *const report_colours[report_methods] = {"#0072b2", "#e69f00",
                                                    "#009e73"};
static const char *const formats[report_methods] = {FORMAT_H, FORMAT_R,
                                                    FORMAT_N};

// The longest line any format can produce stays far below this.
enum { longest_line = 160 };

// The one switch among the formats: writes the line to out, or when out is
// null into buf (size bytes) as snprintf does. Returns what the printf
// function returned.
static int emit(FILE *out, char *buf, size_t size, const report_line *l)
{
    switch (l->method) {
    case method_bisection:
        return out ? fprintf(out, FORMAT_H, l->pass, l->i, l->delta)
                   : snprintf(buf, size, FORMAT_H, l->pass, l->i, l->delta);
    case method_regula_falsi:
        return out ? fprintf(out, FORMAT_R, l->pass, l->i, l->delta, l->a, l->b)
                   : snprintf(buf, size, FORMAT_R, l->pass, l->i, l->delta,
                              l->a, l->b);
    default:
        return out ? fprintf(out, FORMAT_N, l->pass, l->i, l->delta)
                   : snprintf(buf, size, FORMAT_N, l->pass, l->i, l->delta);
    }
}

void report_print(FILE *out, const report_line *l)
{
    emit(out, nullptr, 0, l);
}

int report_format(char *buf, size_t size, const report_line *l)
{
    return emit(nullptr, buf, size, l);
}

void report_end_block(FILE *out)
{
    putc('\n', out);
}

// Reads s along fmt: literal bytes must match, PASS takes the pass
// number after its padding, each "%lg" the next value. Stops at the line
// feed that ends every format.
static int follow(const char *fmt, const char *s, report_line *l)
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
        } else {
            double v = strtod(s, &end);
            if (end == s)
                return 0;
            // Some C libraries (musl, wasi-libc) read "-nan" as a NaN
            // without its sign; the sign is part of what was written.
            if (std::isnan(v) && *s == '-')
                v = std::copysign(v, -1.0);
            *values[next++] = v;
            fmt += 2;
        }
        s = end;
    }
    return 1;
}

int report_scan(const char *text, size_t len, report_line *line)
{
    const char *letter =
        len > 0 && text[0] != '\0' ? strchr(report_letters, text[0]) : nullptr;
    if (letter == nullptr || len >= longest_line)
        return 0;
    char copy[longest_line];
    memcpy(copy, text, len);
    copy[len] = '\0';
    report_line l = {
        static_cast<int>(letter - report_letters), 0, 0.0, 0.0, 0.0, 0.0};
    if (!follow(formats[l.method], copy, &l))
        return 0;
    char again[2 * longest_line];
    int n = report_format(again, sizeof again, &l);
    if (n < 1 || static_cast<size_t>(n) != len + 1 ||
        memcmp(again, text, len) != 0)
        return 0;
    *line = l;
    return 1;
}
