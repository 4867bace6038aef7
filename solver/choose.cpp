// The tools' --verfahren: letters of the table of methods, each at most
// once.
#include "solver/choose.h"

#include <cstdio>
#include <cstring>

#include "common/args.h"
#include "common/status.h"

// The bytes of the character at p: one, or a UTF-8 sequence's lead byte
// and the continuation bytes after it (at most four in all).
static size_t character_bytes(const char *p)
{
    size_t n = 1;
    while (n < 4 && (static_cast<unsigned char>(p[n]) & 0xc0) == 0x80)
        ++n;
    return n;
}

void method_help_list(char *buf, size_t size, int indent, int width)
{
    size_t used = 0;
    int column = 0;
    buf[0] = '\0';
    for (int m = 0; m < method_count && used < size; ++m) {
        char item[64];
        int n =
            snprintf(item, sizeof item, "%c %s%s", method_table[m]->letter,
                     method_table[m]->name, m + 1 < method_count ? "," : "");
        int start = column == 0;
        if (!start && column + 1 + n > width) {
            used +=
                static_cast<size_t>(snprintf(buf + used, size - used, "\n"));
            column = 0;
            start = 1;
        }
        if (used >= size)
            break;
        int w = snprintf(buf + used, size - used, "%*s%s", start ? indent : 1,
                         "", item);
        used += static_cast<size_t>(w);
        column += w;
    }
    if (used + 1 < size)
        snprintf(buf + used, size - used, "\n");
}

int method_choose(const char *option, const char *letters,
                  int method[method_count], int *count)
{
    char all[method_count + 1];
    for (int m = 0; m < method_count; ++m)
        all[m] = method_table[m]->letter;
    all[method_count] = '\0';
    char what[160];
    if (*letters == '\0') {
        snprintf(what, sizeof what, "Kein Verfahren in %s (die Verfahren: %s)",
                 option, all);
        return argument_error(what, letters);
    }
    *count = 0;
    for (const char *p = letters; *p != '\0'; ++p) {
        char letter[2] = {*p, '\0'};
        int m = method_by_letter(*p);
        if (m < 0) {
            char character[5] = {};
            memcpy(character, p, character_bytes(p));
            snprintf(what, sizeof what,
                     "Unbekanntes Verfahren in %s (die Verfahren: %s)", option,
                     all);
            return argument_error(what, character);
        }
        if (memchr(letters, *p, static_cast<size_t>(p - letters)) != nullptr) {
            snprintf(what, sizeof what,
                     "Ein Verfahren zweimal in %s (jedes hoechstens einmal)",
                     option);
            return argument_error(what, letter);
        }
        method[(*count)++] = m;
    }
    return exit_ok;
}
