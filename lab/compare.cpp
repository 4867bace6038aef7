// The start values and their checks, and the comparison with the true
// root: one line per method,
//
//   H Halbierung              55 Durchlaeufe  Wiederholung
//   I=0.0044225405162153075   Abstand +2 ulp  Ordnung 1.00 (Literatur 1)
//
// its letter and name, its passes, its ending, its last estimate (%.17g),
// its distance to I* in ulps of I*, its observed order ("-" where the rule
// of root_observed_order finds none, or where there is no root) and its
// order from the literature; a method that did not run says why.
#include "lab/compare.h"

#include "lab/cut.h"

#include <cinttypes>
#include <cmath>
#include <cstdlib>
#include <cstring>

#include "solver/equation.h"

const char *const lab_refusal_words[lab_refusals] = {
    "",
    "a nicht unter b",
    "f(a) oder f(b) nicht endlich",
    "ohne Vorzeichenwechsel",
    "x0 nicht im Definitionsbereich",
    "x0 nicht in [a, b]"};

const char *lab_measure(char *buf, size_t size, double v, int kind)
{
    if (std::isnan(v))
        snprintf(buf, size, "-");
    else if (std::isinf(v))
        snprintf(buf, size, v > 0 ? "inf" : "-inf");
    else if (kind == lab_distance)
        snprintf(buf, size, "%+.3g", v);
    else
        snprintf(buf, size, "%.2f", v);
    return buf;
}

const char *lab_order_word(double p)
{
    return std::isnan(p) ? "nicht bestimmbar"
           : p < 1.15    ? "linear"
           : p < 1.8     ? "superlinear"
           : p < 2.3     ? "etwa quadratisch"
                         : "schneller als quadratisch";
}

void lab_start(double u, double r, int interval, double a, double b, int x0,
               double x, lab_start_values *values)
{
    method_start *start = &values->start;
    method_default_start(u, r, start);
    values->interval = interval;
    values->x0 = x0;
    if (interval) {
        start->a = a;
        start->b = b;
        start->x = b;
    }
    if (x0)
        start->x = x;
}

int lab_refusal_of(int method, double u, double r, double i_s,
                   const lab_start_values *values)
{
    unsigned needs = method_table[method]->needs;
    const method_start *s = &values->start;
    if (values->interval && (needs & (needs_bracket | needs_points))) {
        if (!(s->a < s->b))
            return refused_order;
        double fa = f(u, r, i_s, s->a);
        double fb = f(u, r, i_s, s->b);
        if (!std::isfinite(fa) || !std::isfinite(fb))
            return refused_not_finite;
        if ((needs & needs_bracket) &&
            ((fa > 0.0 && fb > 0.0) || (fa < 0.0 && fb < 0.0)))
            return refused_no_change;
    }
    if ((values->x0 || values->interval) && (needs & needs_x)) {
        if (!std::isfinite(s->x) || !(f_log_argument(s->x, i_s) > 0.0))
            return refused_domain;
        if ((needs & needs_bracket) &&
            !(std::fmin(s->a, s->b) <= s->x && s->x <= std::fmax(s->a, s->b)))
            return refused_outside;
    }
    return refused_none;
}

// Why each refusal stops its methods, with the values in braces: the
// interval's ends {a} and {b}, f there {fa} and {fb}, the start {x} and
// the argument of the logarithm there {q}.
static const char *const refusal_texts[lab_refusals] = {
    "",
    "Im Startintervall [{a}, {b}] liegt a nicht unter b",
    "Im Startintervall [{a}, {b}] ist f nicht endlich: f(a) = {fa} V, f(b) = "
    "{fb} V",
    "Das Startintervall [{a}, {b}] hat keinen Vorzeichenwechsel: f(a) = {fa} V "
    "und f(b) = {fb} V",
    "Der Startwert x0 = {x} liegt nicht im Definitionsbereich von f: x0 / I_S "
    "+ "
    "1 = {q} ist nicht positiv",
    "Der Startwert x0 = {x} liegt nicht im Startintervall [{a}, {b}]"};

// Writes text into buf (size bytes), each {name} as %g of its value.
static size_t fill_in(char *buf, size_t size, const char *text,
                      const char *const *names, const double *values)
{
    size_t used = 0;
    for (const char *t = text; *t != '\0' && used + 1 < size;) {
        const char *close = *t == '{' ? strchr(t, '}') : nullptr;
        if (close == nullptr) {
            buf[used++] = *t++;
            continue;
        }
        int k = 0;
        while (strncmp(names[k], t + 1, static_cast<size_t>(close - t - 1)) !=
                   0 ||
               names[k][close - t - 1] != '\0')
            ++k;
        int n = snprintf(buf + used, size - used, "%g", values[k]);
        used += n > 0 ? static_cast<size_t>(n) : 0;
        t = close + 1;
    }
    used = used < size ? used : size - 1;
    buf[used] = '\0';
    return used;
}

void lab_refusal_message(const int *method, const int *refusal, int count,
                         double u, double r, double i_s,
                         const lab_start_values *values, char *buf, size_t size)
{
    const method_start *s = &values->start;
    static const char *const names[] = {"a", "b", "fa", "fb", "x", "q"};
    const double facts[] = {s->a,
                            s->b,
                            f(u, r, i_s, s->a),
                            f(u, r, i_s, s->b),
                            s->x,
                            f_log_argument(s->x, i_s)};
    size_t used = 0;
    buf[0] = '\0';
    for (int kind = refused_none + 1; kind < lab_refusals; ++kind) {
        char letters[3 * method_count + 1] = "";
        for (int k = 0; k < count; ++k)
            if (refusal[k] == kind) {
                size_t n = strlen(letters);
                snprintf(letters + n, sizeof letters - n, "%s%c", n ? ", " : "",
                         method_table[method[k]]->letter);
            }
        if (letters[0] == '\0' || used + 1 >= size)
            continue;
        char why[256];
        fill_in(why, sizeof why, refusal_texts[kind], names, facts);
        int n = snprintf(buf + used, size - used,
                         "FEHLER: %s; ohne Lauf: %s!\n", why, letters);
        used += n > 0 ? static_cast<size_t>(n) : 0;
        used = used < size ? used : size - 1;
    }
}

int lab_measures(const true_root *root, const lab_run *run, double *ms)
{
    int n = static_cast<int>(run->end.passes);
    if (method_table[run->method]->order_by_width)
        for (int k = 0; k < n; ++k)
            ms[k] = run->width[k];
    else
        root_errors(root, run->estimate, n, ms);
    return n;
}

void write_comparison(FILE *out, const true_root *root, const lab_run *runs,
                      int count)
{
    if (!root->exists) {
        fprintf(out, "%s: keine\n", report_root_line);
    } else {
        fprintf(out, "%s = %.17g A\n", report_root_line, root->nearest);
        if (root->value.sign != 0) {
            char digits[128];
            fprintf(out, "%s auf 40 Stellen: %s A\n", report_root_line,
                    root_digits_text(root, 40, digits, sizeof digits));
        }
    }
    for (int k = 0; k < count; ++k) {
        const lab_run *run = &runs[k];
        const method_def *def = method_table[run->method];
        if (run->refusal != refused_none) {
            fprintf(out, "%c %-20s   - Durchlaeufe  kein Lauf: %s\n",
                    def->letter, def->name, lab_refusal_words[run->refusal]);
            continue;
        }
        double none = std::nan("");
        double ulps = root->exists ? root_ulps(root, run->end.last) : none;
        double order = none;
        if (root->exists) {
            double ms[report_pass_limit];
            int n = lab_measures(root, run, ms);
            order = root_observed_order(root, ms, n, nullptr);
        }
        char last[32], distance[32], rate[32];
        snprintf(last, sizeof last, "%.17g", run->end.last);
        lab_measure(distance, sizeof distance, ulps, lab_distance);
        if (root->exists && std::isnan(run->end.last))
            snprintf(distance, sizeof distance, "nan");
        fprintf(out,
                "%c %-20s %3" PRIu64 " Durchlaeufe  %-12s  I=%-24s  "
                "Abstand %9s ulp  Ordnung %4s (Literatur %s)\n",
                def->letter, def->name, run->end.passes,
                run->cut != cut_none ? lab_cut_words[run->cut]
                                     : method_ending_names[run->end.ending],
                last, distance,
                lab_measure(rate, sizeof rate, order, lab_order), def->order);
    }
}

double lab_efficiency(const lab_run *run, double *per_pass)
{
    const method_end *e = &run->end;
    double n = static_cast<double>(e->passes);
    double f_passes =
        static_cast<double>(e->evaluations[0] - e->start_evaluations);
    double m = (f_passes + static_cast<double>(e->evaluations[1])) / n;
    *per_pass = e->passes != 0 ? m : std::nan("");
    return std::pow(strtod(method_table[run->method]->order, nullptr),
                    1.0 / *per_pass);
}

void write_costs(FILE *out, const lab_run *runs, int count)
{
    fputs("Kosten: Auswertungen von f und f' (mit denen der Startwerte), "
          "m je Durchlauf,\nEffizienzindex p^(1/m) mit der Ordnung p der "
          "Literatur\n",
          out);
    for (int k = 0; k < count; ++k) {
        const lab_run *run = &runs[k];
        const method_def *def = method_table[run->method];
        if (run->refusal != refused_none) {
            fprintf(out, "%c %-20s kein Lauf\n", def->letter, def->name);
            continue;
        }
        double m = 0.0;
        double index = lab_efficiency(run, &m);
        char per_pass[32], efficiency[32];
        fprintf(out,
                "%c %-20s f %4" PRIu64 " (Start %" PRIu64 ")  f' %4" PRIu64
                "  m %4s  p %-5s  Index %s\n",
                def->letter, def->name, run->end.evaluations[0],
                run->end.start_evaluations, run->end.evaluations[1],
                lab_measure(per_pass, sizeof per_pass, m, lab_order),
                def->order,
                lab_measure(efficiency, sizeof efficiency, index, lab_order));
    }
}
