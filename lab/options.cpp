// diodelab's command line: the circuit, the methods, their start values,
// the output. A value of --U, --R or --IS is taken as the dialogue takes an
// answer (a warning for text after the number); the start values must be
// numbers through and through.
#include "lab/options.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "common/status.h"
#include "dalv.h"
#include "input/answer.h"
#include "solver/choose.h"

const char *lab_help()
{
    static char help[2048];
    char letters[method_count + 1], list[512];
    method_letters(letters);
    method_help_list(list, sizeof list, 15, 78);
    snprintf(help, sizeof help,
             "Aufruf: diodelab [--U W --R W --IS W] [--verfahren BUCHSTABEN]\n"
             "                 [--intervall A:B] [--x0 X] [-o DATEI]\n"
             "Sucht den Strom I der Reihenschaltung aus Widerstand und Diode "
             "mit jedem\ngewaehlten Verfahren, zeigt jeden Durchlauf und "
             "vergleicht die Ergebnisse mit\nder wahren Wurzel I*. Ohne --U, "
             "--R und --IS fragt es wie diodesolve.\n"
             "  --U, --R, --IS W      Spannung (V), Widerstand (Ohm), "
             "Saettigungsstrom (A)\n"
             "  --verfahren BUCHSTABEN  welche Verfahren in welcher "
             "Reihenfolge (Voreinstellung\n"
             "               alle: %s):\n%s"
             "  --intervall A:B  Startintervall statt [0, U/R] (fuer alle "
             "Verfahren)\n"
             "  --x0 X       Startwert von Newton und G statt U/R (mit "
             "--intervall allein: B)\n"
             "  -o DATEI     in DATEI schreiben statt auf die "
             "Standardausgabe\n"
             "  -h, --help   diese Hilfe                 --version   die "
             "Version\n",
             letters, list);
    return help;
}

static const char *const circuit_options[] = {"--U", "--R", "--IS"};

// An answer for option: what the dialogue would take (trimmed, a number at
// its start), else a usage error.
static int take_answer(const char *option, const char *arg, double *value)
{
    char text[128];
    snprintf(text, sizeof text, "%s", arg); // the dialogue's line, at most
    char *trimmed = dalv_str_chomp(text);
    if (trimmed == nullptr || !answer_to_double(trimmed, value)) {
        char what[64];
        snprintf(what, sizeof what, "Kein Wert fuer %s", option);
        return argument_error(what, arg);
    }
    return exit_ok;
}

// A start value: a number through and through.
static int take_number(const char *option, const char *text, const char *arg,
                       double *value)
{
    if (!whole_number(text, value)) {
        char what[80];
        snprintf(what, sizeof what, "Kein Startwert fuer %s", option);
        return argument_error(what, arg);
    }
    return exit_ok;
}

static int take_interval(const char *arg, method_start *start)
{
    char text[256];
    snprintf(text, sizeof text, "%s", arg);
    char *colon = strchr(text, ':');
    if (strlen(arg) >= sizeof text || colon == nullptr)
        return argument_error("Das Startintervall muss A:B sein (--intervall)",
                              arg);
    *colon = '\0';
    int status = take_number("--intervall", text, arg, &start->a);
    return status != exit_ok
               ? status
               : take_number("--intervall", colon + 1, arg, &start->b);
}

int parse_lab_options(int argc, char **argv, lab_options *o)
{
    *o = lab_options{};
    o->methods = method_count;
    for (int m = 0; m < method_count; ++m)
        o->method[m] = m;
    for (int k = 1; k < argc;) {
        const char *option = argv[k];
        if (strcmp(option, "-o") == 0) {
            if (k + 1 >= argc || argv[k + 1][0] == '\0') {
                fputs("FEHLER: Nach -o fehlt der Name der Ausgabedatei!\n",
                      stderr);
                return exit_usage;
            }
            o->path = argv[k + 1];
            k += 2;
            continue;
        }
        ++k;
        enum info_request asked = info_option(option);
        if (asked != info_none) {
            o->info = o->info == info_none ? asked : o->info;
            continue;
        }
        int q = 0;
        while (q < 3 && strcmp(option, circuit_options[q]) != 0)
            ++q;
        int methods = strcmp(option, "--verfahren") == 0;
        int interval = strcmp(option, "--intervall") == 0;
        int x0 = strcmp(option, "--x0") == 0;
        if (q == 3 && !methods && !interval && !x0)
            return usage_error("diodelab", option);
        if (k >= argc)
            return argument_error("Es fehlt ein Wert nach der Option", option);
        const char *value = argv[k++];
        int status = exit_ok;
        if (q < 3) {
            status = take_answer(option, value, &o->circuit[q]);
            o->given |= 1 << q;
        } else if (methods) {
            status = method_choose(option, value, o->method, &o->methods);
        } else if (interval) {
            status = take_interval(value, &o->start);
            o->interval = 1;
        } else {
            status = take_number(option, value, value, &o->start.x);
            o->x0 = 1;
        }
        if (status != exit_ok)
            return status;
    }
    if (o->given != 0 && o->given != 7 && o->info == info_none) {
        fputs("FEHLER: --U, --R und --IS gehoeren zusammen: alle drei oder "
              "keins!\n",
              stderr);
        return exit_usage;
    }
    return exit_ok;
}
