// How the readers take a trimmed answer, for programs that also take
// answers from their command line (not part of the public header; the
// library's own readers use it too).
#ifndef INPUT_ANSWER_H_
#define INPUT_ANSWER_H_

#include <cmath>
#include <cstdlib>
#include <cstring>

// strtod, with the sign of a NaN as the text writes it: glibc keeps the
// minus of "-nan", musl and wasi-libc drop it, and the page must read an
// answer as the console does.
inline double answer_strtod(const char *text, char **end)
{
    double v = strtod(text, end);
    if (std::isnan(v) && text[strspn(text, " \t\n\v\f\r")] == '-')
        v = std::copysign(v, -1.0);
    return v;
}

// Converts the trimmed text as dalv_read_double converts a line: returns 1
// with the number in *value, writing the library's warning about text after
// it to standard error; returns 0 without a message, *value untouched,
// when the text does not begin with a number.
int answer_to_double(const char *text, double *value);

#endif // INPUT_ANSWER_H_
