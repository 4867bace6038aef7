// The questions of a sheet and their answers, each computed from the
// student's runs: bisection's count a priori, which method ends first and
// why, where regula falsi creeps, the error after the table's passes.
#include <cinttypes>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "lab/sheet_parts.h"

// The number of passes of bisection from [a, b] until its width is below
// w: the least n with (b - a) / 2^n < w.
static int bisection_count(double width, double w)
{
    int n = 0;
    while (n < 2000 && !(std::ldexp(width, -n) < w))
        ++n;
    return n;
}

// v with enough digits that its text differs from the text of w (at
// least four).
static void apart(char *buf, size_t size, double v, double w)
{
    char other[32];
    for (int digits = 4; digits <= 17; ++digits) {
        snprintf(buf, size, "%.*g", digits, v);
        snprintf(other, sizeof other, "%.*g", digits, w);
        if (strcmp(buf, other) != 0)
            return;
    }
}

static void ask_bisection(const sheet_texts *p, const sheet_student *s,
                          int number, int key)
{
    double width = s->start.b - s->start.a;
    char text[32];
    snprintf(text, sizeof text, "1e%d", sheet_decimal_exponent(width) - 6);
    double w = strtod(text, nullptr);
    char question[512];
    snprintf(question, sizeof question,
             "Wie viele Durchläufe braucht die Halbierung mindestens, bis ihr "
             "Intervall [a, b] = [0, U/R] schmaler ist als w = %g A? "
             "(Ohne die Funktion zu rechnen.)",
             w);
    sheet_numbered(p, part_question, number, question);
    if (!key)
        return;
    int n = bisection_count(width, w);
    char after[32], before[32], answer[768];
    apart(after, sizeof after, std::ldexp(width, -n), w);
    apart(before, sizeof before, std::ldexp(width, -(n - 1)), w);
    snprintf(answer, sizeof answer,
             "Jeder Durchlauf halbiert die Breite b − a = %g A. Nach n "
             "Durchläufen ist sie (b − a) / 2^n; zuerst nach n = %d ist sie "
             "kleiner als w: (b − a) / 2^%d = %s A < w, aber (b − a) / 2^%d "
             "= %s A ≥ w. Also n = ⌈log2((b − a) / w)⌉ = %d.",
             width, n, n, after, n - 1, before, n);
    sheet_numbered(p, part_answer, number, answer);
}

// The observed order of run k (NaN where it cannot be determined).
static double order_of(const sheet_student *s, int k)
{
    if (!s->root.exists)
        return std::nan("");
    double ms[report_pass_limit];
    int n = lab_measures(&s->root, &s->runs[k], ms);
    return root_observed_order(&s->root, ms, n, nullptr);
}

// The method with the highest order among the chosen: observed (where
// observed, NaN where none is) or from the literature; -1 for none.
static int highest(const sheet_spec *spec, const sheet_student *s, int observed)
{
    int best = -1;
    double top = -1.0;
    for (int k = 0; k < spec->methods; ++k) {
        double p = observed ? order_of(s, k)
                            : strtod(sheet_def(spec, k)->order, nullptr);
        if (!std::isnan(p) && p > top)
            top = p, best = k;
    }
    return best;
}

// Why the method that ends first (after least passes) does so, as far as
// the orders tell it.
static const char *why_first(const sheet_spec *spec, const sheet_student *s,
                             uint64_t least)
{
    static char why[512];
    int first = -1, ties = 0;
    for (int k = 0; k < spec->methods; ++k)
        if (s->runs[k].end.passes == least)
            first = first < 0 ? k : first, ++ties;
    const char *name = sheet_def(spec, first)->name;
    int observed = highest(spec, s, 1), literature = highest(spec, s, 0);
    why[0] = '\0';
    if (ties > 1)
        sheet_add(why, sizeof why, "Mehrere enden gleichzeitig. ");
    if (observed == first ||
        (ties > 1 && observed >= 0 && s->runs[observed].end.passes == least)) {
        sheet_add(
            why, sizeof why,
            "%s hat die höchste beobachtete Ordnung (Literatur %s): je höher "
            "die Ordnung, desto schneller wachsen die richtigen Stellen.",
            sheet_def(spec, observed)->name, sheet_def(spec, observed)->order);
        return why;
    }
    if (std::isnan(order_of(s, first))) {
        double ms[report_pass_limit];
        int n = lab_measures(&s->root, &s->runs[first], ms);
        int counted = root_counted(&s->root, ms, n);
        if (counted < 4)
            sheet_add(
                why, sizeof why,
                "Die Ordnung von %s ist hier nicht bestimmbar: nur %d seiner "
                "Durchläufe liegen deutlich über dem Rundungsrauschen. ",
                name, counted);
        else
            sheet_add(
                why, sizeof why,
                "Die Ordnung von %s ist hier nicht bestimmbar: keine zwei "
                "Schätzungen aus benachbarten Durchläufen stimmen überein. ",
                name);
    } else
        sheet_add(
            why, sizeof why,
            "%s endet zuerst, obwohl %s eine höhere beobachtete Ordnung hat: "
            "die Zahl der Durchläufe hängt auch vom Start und vom Abbruch "
            "ab. ",
            name, sheet_def(spec, observed)->name);
    if (literature == first)
        sheet_add(why, sizeof why,
                  "Laut Literatur hat %s die höchste Ordnung der gewählten "
                  "Verfahren, %s.",
                  name, sheet_def(spec, first)->order);
    else
        sheet_add(why, sizeof why, "Laut Literatur hat %s die Ordnung %s.",
                  name, sheet_def(spec, first)->order);
    return why;
}

static void ask_first(const sheet_texts *p, const sheet_spec *spec,
                      const sheet_student *s, int number, int key)
{
    char question[512] = "Welches der Verfahren ";
    for (int k = 0; k < spec->methods; ++k)
        sheet_add(question, sizeof question, "%s%s",
                  k == 0                  ? ""
                  : k + 1 < spec->methods ? ", "
                                          : " und ",
                  sheet_def(spec, k)->name);
    sheet_add(question, sizeof question,
              " endet zuerst, nach wie vielen Durchläufen, und warum?");
    sheet_numbered(p, part_question, number, question);
    if (!key)
        return;
    uint64_t least = UINT64_MAX;
    for (int k = 0; k < spec->methods; ++k)
        least = s->runs[k].end.passes < least ? s->runs[k].end.passes : least;
    char answer[1024] = "", first[256] = "", rest[512] = "";
    for (int k = 0; k < spec->methods; ++k) {
        const lab_run *r = &s->runs[k];
        char *into = r->end.passes == least ? first : rest;
        size_t size = r->end.passes == least ? sizeof first : sizeof rest;
        double order = order_of(s, k);
        char said[32];
        if (std::isnan(order))
            snprintf(said, sizeof said, "nicht bestimmbar");
        else
            snprintf(said, sizeof said, "%.2f, %s", order,
                     lab_order_word(order));
        sheet_add(into, size,
                  "%s%s nach %" PRIu64 " %s (%s; beobachtete Ordnung %s)",
                  into[0] ? ", " : "", sheet_def(spec, k)->name, r->end.passes,
                  r->end.passes == 1 ? "Durchlauf" : "Durchläufen",
                  method_ending_names[r->end.ending], said);
    }
    sheet_add(answer, sizeof answer, "Zuerst endet %s. ", first);
    if (rest[0])
        sheet_add(answer, sizeof answer, "Später: %s. ", rest);
    sheet_add(answer, sizeof answer, "%s", why_first(spec, s, least));
    sheet_numbered(p, part_answer, number, answer);
}

// Whether regula falsi (chosen at k) creeps on the circuit: one end stays
// in every pass, and its error shrinks by a mean factor above 0.5, slower
// than bisection. *end is 0 where a stays, 1 where b stays.
static int creeps(const sheet_student *s, int k, int *end)
{
    const lab_run *r = &s->runs[k];
    int n = static_cast<int>(r->end.passes);
    int a_stays = 1, b_stays = 1;
    for (int j = 0; j < n; ++j) {
        a_stays &= s->lines[k][j].a == s->start.a;
        b_stays &= s->lines[k][j].b == s->start.b;
    }
    if (!s->root.exists || n < 3 || !(a_stays || b_stays))
        return 0;
    double ms[report_pass_limit];
    root_errors(&s->root, r->estimate, n, ms);
    *end = a_stays ? 0 : 1;
    return root_rate(&s->root, ms, n) > 0.5;
}

static void ask_creep(const sheet_texts *p, const sheet_student *s, int k,
                      int number, int key)
{
    int end = 0;
    creeps(s, k, &end);
    sheet_numbered(
        p, part_question, number,
        "Die Regula falsi kriecht hier. Welches Ende ihres Intervalls "
        "bleibt stehen, und warum?");
    if (!key)
        return;
    const lab_run *r = &s->runs[k];
    int n = static_cast<int>(r->end.passes), right = 0;
    for (int j = 0; j < n; ++j)
        right += root_error(&s->root, r->estimate[j]) > 0.0;
    double ms[report_pass_limit];
    root_errors(&s->root, r->estimate, n, ms);
    char answer[1024];
    snprintf(answer, sizeof answer,
             "Das Ende %s = %g bleibt in allen %d Durchläufen stehen, nur %s "
             "rückt nach. Der Fehler schrumpft im Mittel nur um den Faktor "
             "%.2f je Durchlauf (die Halbierung: 0.5). In %d von %d "
             "Durchläufen liegt der neue Wert rechts von I*.%s",
             end == 0 ? "a" : "b", end == 0 ? s->start.a : s->start.b, n,
             end == 0 ? "b" : "a", root_rate(&s->root, ms, n), right, n,
             end == 0 ? " Der Grund: f ist konkav, f″(I) = −U_T / (I + I_S)^2 "
                        "< 0. Die Sekante durch die Enden liegt unter der "
                        "Kurve und trifft die Achse rechts von I*; so ersetzt "
                        "jeder Durchlauf b, und a bleibt, wie weit es auch "
                        "von I* entfernt ist."
                      : "");
    sheet_numbered(p, part_answer, number, answer);
}

static void ask_error(const sheet_texts *p, const sheet_spec *spec,
                      const sheet_student *s, int number, int key)
{
    char question[256];
    snprintf(question, sizeof question,
             "Schätzen Sie I* aus Ihren Tabellen. Wie groß ist der Fehler "
             "|I_%d − I*| nach Durchlauf %d bei jedem Verfahren?",
             spec->passes, spec->passes);
    sheet_numbered(p, part_question, number, question);
    if (!key)
        return;
    char answer[1024];
    snprintf(answer, sizeof answer, "Mit I* = %.17g A: ", s->root.nearest);
    for (int k = 0; k < spec->methods; ++k) {
        uint64_t ran = s->runs[k].end.passes;
        uint64_t at = ran < static_cast<uint64_t>(spec->passes)
                          ? ran
                          : static_cast<uint64_t>(spec->passes);
        double e = root_error(&s->root, s->runs[k].estimate[at - 1]);
        if (at < static_cast<uint64_t>(spec->passes))
            sheet_add(answer, sizeof answer,
                      "%s%s endet schon nach %" PRIu64
                      " Durchläufen, |I_%" PRIu64 " − I*| = %.3g A",
                      k ? "; " : "", sheet_def(spec, k)->name, at, at,
                      std::fabs(e));
        else
            sheet_add(answer, sizeof answer, "%s%s %.3g A", k ? "; " : "",
                      sheet_def(spec, k)->name, std::fabs(e));
    }
    sheet_add(answer, sizeof answer, ".");
    sheet_numbered(p, part_answer, number, answer);
}

static int falsi_at(const sheet_spec *spec)
{
    for (int k = 0; k < spec->methods; ++k)
        if (sheet_def(spec, k) == &method_regula_falsi)
            return k;
    return -1;
}

void sheet_ask(const sheet_texts *p, const sheet_spec *spec,
               const sheet_student *s, int key)
{
    int number = 0, falsi = falsi_at(spec), end = 0;
    if (spec->questions & question_bisection)
        ask_bisection(p, s, ++number, key);
    if ((spec->questions & question_first) && spec->methods > 1)
        ask_first(p, spec, s, ++number, key);
    if ((spec->questions & question_creep) && falsi >= 0 &&
        creeps(s, falsi, &end))
        ask_creep(p, s, falsi, ++number, key);
    if ((spec->questions & question_error) && s->root.exists)
        ask_error(p, spec, s, ++number, key);
}
