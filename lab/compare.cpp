// The comparison with the true root: one line per method,
//
//   H Halbierung              55 Durchlaeufe  Wiederholung
//   I=0.0044225405162153075   Abstand +2 ulp  Ordnung 1.00
//
// its letter and name, its passes, its ending, its last estimate (%.17g),
// its distance to I* in ulps of I* and the median of its observed orders
// ("-" where none is defined, or where there is no root).
#include "lab/compare.h"

#include <cinttypes>
#include <cmath>

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

void lab_start(double u, double r, int interval, double a, double b, int x0,
               double x, method_start *start)
{
    method_default_start(u, r, start);
    if (interval) {
        start->a = a;
        start->b = b;
        start->x = b;
    }
    if (x0)
        start->x = x;
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
        int n = static_cast<int>(run->end.passes);
        double none = std::nan("");
        double ulps = root->exists ? root_ulps(root, run->end.last) : none;
        double order =
            root->exists ? root_median_order(root, run->estimate, n) : none;
        char last[32], distance[32], rate[32];
        snprintf(last, sizeof last, "%.17g", run->end.last);
        lab_measure(distance, sizeof distance, ulps, lab_distance);
        if (root->exists && std::isnan(run->end.last))
            snprintf(distance, sizeof distance, "nan");
        fprintf(out,
                "%c %-20s %3" PRIu64 " Durchlaeufe  %-12s  I=%-24s  "
                "Abstand %9s ulp  Ordnung %s\n",
                def->letter, def->name, run->end.passes,
                method_ending_names[run->end.ending], last, distance,
                lab_measure(rate, sizeof rate, order, lab_order));
    }
}
