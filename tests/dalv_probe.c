/* dalv_probe: calls the dalv readers from C, one call per argument, and
 * prints what each call returned and what its variable holds afterwards. */
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include "dalv.h"

/* An argument is KIND[SIZE][MOD]: KIND d, i, s (reader) or c (chomp of one
 * raw line); SIZE the buffer size for s; MOD - for a null prompt, % for a
 * prompt holding conversion specifiers, ! for a null value or dst, # for a
 * null buf. Values start from a sentinel, so an untouched one shows. */

static const char *pick_prompt(const char *mod)
{
    if (strchr(mod, '-'))
        return NULL;
    if (strchr(mod, '%'))
        return "100%s %d %n? ";
    return "? ";
}

static void show_bytes(const char *s, size_t n)
{
    for (size_t k = 0; k < n; ++k) {
        switch (s[k]) {
        case '\0': fputs("\\0", stdout); break;
        case '\t': fputs("\\t", stdout); break;
        case '\n': fputs("\\n", stdout); break;
        case '\r': fputs("\\r", stdout); break;
        case '\v': fputs("\\v", stdout); break;
        case '\f': fputs("\\f", stdout); break;
        default: putchar(s[k]);
        }
    }
}

static void probe_chomp(const char *mod)
{
    char line[128];
    if (strchr(mod, '!')) {
        printf("chomp(null) => %s\n", dalv_str_chomp(NULL) ? "?" : "null");
        return;
    }
    if (!fgets(line, sizeof line, stdin)) {
        puts("chomp: no line");
        return;
    }
    size_t n = strlen(line);
    char *text = dalv_str_chomp(line);
    if (text)
        printf("chomp => <%s> at %d, buffer <", text, (int)(text - line));
    else
        fputs("chomp => null, buffer <", stdout);
    show_bytes(line, n);
    puts(">");
}

static void probe(const char *arg)
{
    char *mod = NULL;
    unsigned long size = strtoul(arg + 1, &mod, 10);
    const char *prompt = pick_prompt(mod);
    int ok;

    if (arg[0] == 'd') {
        double value = 42.5;
        ok = dalv_read_double(prompt, strchr(mod, '!') ? NULL : &value);
        printf("double => %d, %.17g\n", ok, value);
    } else if (arg[0] == 'i') {
        int32_t value = -7;
        ok = dalv_read_int(prompt, strchr(mod, '!') ? NULL : &value);
        printf("int => %d, %d\n", ok, (int)value);
    } else if (arg[0] == 's') {
        char dst[256] = "unberuehrt";
        if (size > sizeof dst) {
            fputs("probe: size too large\n", stderr);
            exit(2);
        }
        char buf[size > 0 ? size : 1]; /* exactly size bytes, for ASan */
        ok = dalv_read_string(prompt, strchr(mod, '!') ? NULL : dst,
                              strchr(mod, '#') ? NULL : buf, size);
        printf("string => %d, <%s>\n", ok, dst);
    } else if (arg[0] == 'c') {
        probe_chomp(mod);
    } else {
        fprintf(stderr, "probe: unknown call %s\n", arg);
        exit(2);
    }
    fflush(stdout);
}

int main(int argc, char **argv)
{
    for (int k = 1; k < argc; ++k)
        probe(argv[k]);
    return 0;
}
