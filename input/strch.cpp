// Trimming of console input lines: cuts leading and trailing blanks in place.
#include "dalv.h"

// The four blanks of a console line; vertical tab and form feed are text.
static int is_blank(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

char *dalv_str_chomp(char *s)
{
    if (s == nullptr)
        return nullptr;

    char *first = nullptr;
    char *last = nullptr;
    for (char *p = s; *p != '\0'; ++p) {
        if (is_blank(*p))
            continue;
        if (first == nullptr)
            first = p;
        last = p;
    }
    if (first == nullptr)
        return nullptr;
    last[1] = '\0';
    return first;
}
