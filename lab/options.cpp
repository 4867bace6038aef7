// diodelab's command line: the circuit, the methods, their start values,
// the output. A value of --U, --R or --IS is taken as the dialogue takes an
// answer (a warning for text after the number); the start values must be
// numbers through and through.
#include "lab/options.h"

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "common/status.h"
#include "dalv.h"
#include "input/answer.h"
#include "solver/choose.h"

const char *lab_help()
{
    static char help[4096];
    char letters[method_count + 1], list[512];
    method_letters(letters);
    method_help_list(list, sizeof list, 15, 78);
    snprintf(help, sizeof help,
             "Aufruf: diodelab [--U W --R W --IS W] [--verfahren BUCHSTABEN]\n"
             "                 [--intervall A:B] [--x0 X] [--schritt-tol T]\n"
             "                 [--residuum-tol T] [--grenze K] [--kosten] "
             "[-o DATEI]\n"
             "       diodelab --blatt SAAT [--anzahl N | --namen LISTE]\n"
             "                 [--U A:B] [--R A:B] [--IS A:B] [--verfahren "
             "BUCHSTABEN]\n"
             "                 [--durchlaeufe K] [--fragen %s] [--csv] [-o "
             "DATEI]\n"
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
             "  --schritt-tol T, --residuum-tol T  jeden Lauf beenden, sobald "
             "|I_k - I_k-1|\n"
             "               (ab Durchlauf 2) oder |Delta| hoechstens T ist\n"
             "  --grenze K   jeden Lauf spaetestens nach K Durchlaeufen "
             "beenden (1 bis %d)\n"
             "  --kosten     danach die Auswertungen von f und f' und den "
             "Effizienzindex\n"
             "  -o DATEI     in DATEI schreiben statt auf die "
             "Standardausgabe\n"
             "Uebungsblaetter (LaTeX; mit --csv die Loesung als CSV): je "
             "Schueler eine Schaltung\naus der Saat, Werte mit zwei "
             "geltenden Ziffern in den Bereichen (Voreinstellung\n"
             "--U 1:12 --R 100:1e4 --IS 1e-15:1e-9 --verfahren HRN "
             "--durchlaeufe 4 --fragen %s):\n"
             "  --anzahl N   N Blaetter (1 bis %d; Voreinstellung 1)   "
             "--namen A,B  je Name eins\n"
             "  --durchlaeufe K  K Durchlaeufe je Tabelle (1 bis %d)\n"
             "  --fragen BUCHSTABEN  H Halbierung a priori, Z wer endet "
             "zuerst, K Regula falsi\n"
             "               kriecht (wo sie es tut), F Fehler nach K "
             "Durchlaeufen\n"
             "  -h, --help   diese Hilfe                 --version   die "
             "Version\n",
             sheet_question_letters, letters, list, report_pass_limit,
             sheet_question_letters, sheet_max_students, sheet_max_passes);
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

// A tolerance: a number through and through, at least 0.
static int take_tolerance(const char *option, const char *arg, double *value)
{
    if (!whole_number(arg, value) || !(*value >= 0.0)) {
        char what[80];
        snprintf(what, sizeof what, "Die Toleranz ist eine Zahl ab 0 (%s)",
                 option);
        return argument_error(what, arg);
    }
    return exit_ok;
}

// The options of exercise sheets that take a value; --blatt first.
static const char *const sheet_options[] = {"--blatt", "--anzahl", "--namen",
                                            "--durchlaeufe", "--fragen"};
enum { sheet_option_count = 5 };

// A count: 1 to 20 decimal digits and nothing else, at most most.
static int whole_count(const char *text, uint64_t most, uint64_t *value)
{
    size_t digits = strspn(text, "0123456789");
    if (digits == 0 || digits > 20 || text[digits] != '\0')
        return 0;
    errno = 0;
    unsigned long long v = strtoull(text, nullptr, 10);
    if (errno == ERANGE || v > most)
        return 0;
    *value = v;
    return 1;
}

static int take_questions(const char *arg, unsigned *questions)
{
    *questions = 0;
    for (const char *p = arg; *p != '\0'; ++p) {
        const char *at = strchr(sheet_question_letters, *p);
        unsigned bit = at != nullptr ? 1u << (at - sheet_question_letters) : 0;
        if (bit == 0 || (*questions & bit))
            return argument_error("Fragen sind H, Z, K und F, jede einmal "
                                  "(--fragen)",
                                  arg);
        *questions |= bit;
    }
    return *questions
               ? exit_ok
               : argument_error("Fragen sind H, Z, K und F (--fragen)", arg);
}

// A count from 1 to most into *count, else the diagnostic that says so
// ("Die Anzahl ist 1 bis 500 (--anzahl)").
static int count_of(const char *what, const char *option, const char *arg,
                    int most, int *count)
{
    uint64_t v = 0;
    if (!whole_count(arg, static_cast<uint64_t>(most), &v) || v == 0) {
        char text[96];
        snprintf(text, sizeof text, "%s 1 bis %d (%s)", what, most, option);
        return argument_error(text, arg);
    }
    *count = static_cast<int>(v);
    return exit_ok;
}

static int take_sheet_option(int s, const char *option, const char *arg,
                             lab_options *o)
{
    switch (s) {
    case 0:
        o->sheets = 1;
        return whole_count(arg, UINT64_MAX, &o->sheet.seed)
                   ? exit_ok
                   : argument_error("Die Saat ist eine ganze Zahl von 0 bis "
                                    "18446744073709551615 (--blatt)",
                                    arg);
    case 1:
        return count_of("Die Anzahl ist", option, arg, sheet_max_students,
                        &o->sheet.count);
    case 2: {
        int n = sheet_name_count(arg);
        if (n == 0 || n > sheet_max_students || strlen(arg) > 16384) {
            char what[96];
            snprintf(what, sizeof what,
                     "Die Namen sind 1 bis %d, durch Kommas getrennt (%s)",
                     sheet_max_students, option);
            return argument_error(what, arg);
        }
        o->sheet.names = arg;
        return exit_ok;
    }
    case 3:
        return count_of("Die Durchlaeufe sind", option, arg, sheet_max_passes,
                        &o->sheet.passes);
    default: return take_questions(arg, &o->sheet.questions);
    }
}

// The sheets' defaults and checks, after all options are read.
static int finish_sheet(lab_options *o, const char *const *circuit_args,
                        unsigned given, int methods_given)
{
    static const double defaults[3][2] = {{1, 12}, {100, 1e4}, {1e-15, 1e-9}};
    sheet_spec *s = &o->sheet;
    if (lab_cut_given(&o->cut) || o->costs) {
        fputs("FEHLER: Blaetter rechnen ohne --schritt-tol, --residuum-tol, "
              "--grenze und --kosten!\n",
              stderr);
        return exit_usage;
    }
    if (o->interval || o->x0) {
        fputs("FEHLER: Blaetter beginnen bei den Startwerten [0, U/R] und "
              "U/R: ohne --intervall und --x0!\n",
              stderr);
        return exit_usage;
    }
    if ((given & 2) && (given & 4)) {
        fputs("FEHLER: --anzahl oder --namen, nicht beides!\n", stderr);
        return exit_usage;
    }
    s->count = given & 4   ? sheet_name_count(s->names)
               : given & 2 ? s->count
                           : 1;
    s->passes = given & 8 ? s->passes : 4;
    s->questions = given & 16 ? s->questions : (1u << sheet_questions) - 1;
    if (!methods_given) {
        method_choose("--verfahren", "HRN", o->method, &o->methods);
    }
    for (int m = 0; m < o->methods; ++m)
        s->method[m] = o->method[m];
    s->methods = o->methods;
    for (int q = 0; q < 3; ++q) {
        s->lo[q] = defaults[q][0];
        s->hi[q] = defaults[q][1];
        int range = 0;
        if (circuit_args[q] != nullptr &&
            range_argument(circuit_options[q], circuit_args[q], &s->lo[q],
                           &s->hi[q], &range) != exit_ok)
            return exit_usage;
        if (s->lo[q] > s->hi[q]) {
            double lo = s->hi[q];
            s->hi[q] = s->lo[q];
            s->lo[q] = lo;
        }
        if (!(s->lo[q] > 0.0)) {
            char what[96];
            snprintf(what, sizeof what,
                     "Fuer Blaetter sind die Werte positiv (%s)",
                     circuit_options[q]);
            return argument_error(what, circuit_args[q]);
        }
    }
    double c[3];
    for (int k = 0; k < 1; ++k)
        if (!sheet_circuit(s, k, c)) {
            fputs("FEHLER: Ein Bereich enthaelt keinen Wert mit zwei oder "
                  "drei geltenden Ziffern!\n",
                  stderr);
            return exit_usage;
        }
    if (sheet_table_lines(s) > sheet_page_lines) {
        fprintf(stderr,
                "FEHLER: Die Tabellen passen nicht auf eine Seite: sie "
                "brauchen %d Zeilen, hoechstens %d; weniger Verfahren oder "
                "Durchlaeufe!\n",
                sheet_table_lines(s), sheet_page_lines);
        return exit_usage;
    }
    return exit_ok;
}

// The criteria that cut the runs.
static const char *const cut_options[] = {"--schritt-tol", "--residuum-tol",
                                          "--grenze"};
enum { cut_option_count = 3 };

static int take_cut_option(int c, const char *option, const char *arg,
                           lab_cut *cut)
{
    if (c == 0)
        return take_tolerance(option, arg, &cut->step);
    if (c == 1)
        return take_tolerance(option, arg, &cut->residual);
    int limit = 0;
    int status =
        count_of("Die Grenze ist", option, arg, report_pass_limit, &limit);
    cut->limit = static_cast<uint64_t>(limit);
    return status;
}

int parse_lab_options(int argc, char **argv, lab_options *o)
{
    *o = lab_options{};
    o->cut = lab_cut_none();
    o->methods = method_count;
    for (int m = 0; m < method_count; ++m)
        o->method[m] = m;
    const char *circuit_args[3] = {};
    unsigned given_sheet = 0;
    int methods_given = 0;
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
        if (strcmp(option, "--csv") == 0) {
            o->csv = 1;
            continue;
        }
        if (strcmp(option, "--kosten") == 0) {
            o->costs = 1;
            continue;
        }
        int q = 0;
        while (q < 3 && strcmp(option, circuit_options[q]) != 0)
            ++q;
        int methods = strcmp(option, "--verfahren") == 0;
        int interval = strcmp(option, "--intervall") == 0;
        int x0 = strcmp(option, "--x0") == 0;
        int s = 0;
        while (s < sheet_option_count && strcmp(option, sheet_options[s]) != 0)
            ++s;
        int c = 0;
        while (c < cut_option_count && strcmp(option, cut_options[c]) != 0)
            ++c;
        if (q == 3 && !methods && !interval && !x0 && s == sheet_option_count &&
            c == cut_option_count)
            return usage_error("diodelab", option);
        if (k >= argc)
            return argument_error("Es fehlt ein Wert nach der Option", option);
        const char *value = argv[k++];
        int status = exit_ok;
        if (q < 3) {
            circuit_args[q] = value;
            o->given |= 1 << q;
        } else if (c < cut_option_count) {
            status = take_cut_option(c, option, value, &o->cut);
        } else if (s < sheet_option_count) {
            status = take_sheet_option(s, option, value, o);
            given_sheet |= 1 << s;
        } else if (methods) {
            status = method_choose(option, value, o->method, &o->methods);
            methods_given = 1;
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
    if (o->sheets)
        return o->info != info_none
                   ? exit_ok
                   : finish_sheet(o, circuit_args, given_sheet, methods_given);
    for (int q = 0; q < 3; ++q)
        if (circuit_args[q] != nullptr) {
            int status = take_answer(circuit_options[q], circuit_args[q],
                                     &o->circuit[q]);
            if (status != exit_ok)
                return status;
        }
    if (o->info != info_none)
        return exit_ok;
    if (given_sheet != 0 || o->csv) {
        fputs("FEHLER: --anzahl, --namen, --durchlaeufe, --fragen und --csv "
              "gibt es nur mit --blatt!\n",
              stderr);
        return exit_usage;
    }
    if (o->given != 0 && o->given != 7) {
        fputs("FEHLER: --U, --R und --IS gehoeren zusammen: alle drei oder "
              "keins!\n",
              stderr);
        return exit_usage;
    }
    return exit_ok;
}
