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

#include "plot/transcript.h"

// A measure for the comparison: finite numbers as format writes them,
// nan, inf and -inf as such, and "-" where there is none.
static const char *measure(char *buf, size_t size, double v, const char *format)
{
    if (std::isnan(v))
        snprintf(buf, size, "-");
    else if (std::isinf(v))
        snprintf(buf, size, v > 0 ? "inf" : "-inf");
    else
        snprintf(buf, size, format, v);
    return buf;
}

void write_comparison(FILE *out, const true_root *root, const lab_run *runs,
                      int count)
{
    if (!root->exists) {
        fprintf(out, "%s: keine\n", transcript_root_line);
    } else {
        fprintf(out, "%s = %.17g A\n", transcript_root_line, root->nearest);
        if (root->value.sign != 0) {
            char digits[128];
            fprintf(out, "%s auf 40 Stellen: %s A\n", transcript_root_line,
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
        measure(distance, sizeof distance, ulps, "%+.3g");
        if (root->exists && std::isnan(run->end.last))
            snprintf(distance, sizeof distance, "nan");
        fprintf(out,
                "%c %-20s %3" PRIu64 " Durchlaeufe  %-12s  I=%-24s  "
                "Abstand %9s ulp  Ordnung %s\n",
                def->letter, def->name, run->end.passes,
                method_ending_names[run->end.ending], last, distance,
                measure(rate, sizeof rate, order, "%.2f"));
    }
}
