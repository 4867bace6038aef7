// diodelab's start values and their checks, and its comparison after its
// blocks: the true root and, per method, its passes, ending, last estimate,
// distance in ulps and observed order beside the literature's. The page
// runs them too.
#ifndef LAB_COMPARE_H_
#define LAB_COMPARE_H_

#include <cstddef>
#include <cstdio>

#include "root/root.h"
#include "solver/method.h"

// Why a method does not run from the start values the user gave: the
// interval is no interval (a not below b), f is no finite number at an end,
// f has one sign at both ends (a method that needs a bracket), x0 lies
// outside f's domain (not finite, or x0 <= -I_S), or (Newton kept inside an
// interval) x0 lies outside [a, b]. The default start values are never
// refused.
enum lab_refusal {
    refused_none,
    refused_order,
    refused_not_finite,
    refused_no_change,
    refused_domain,
    refused_outside,
    lab_refusals
};
// How the comparison names each ("a nicht unter b"; "" for refused_none).
extern const char *const lab_refusal_words[lab_refusals];

// Where a run starts, and what the user gave of it.
struct lab_start_values {
    method_start start;
    int interval; // [a, b] given
    int x0;       // x given
};

// The start values of a run on a circuit of voltage u and resistance r:
// the defaults ([0, U / R], x = U / R), or [a, b] where interval (with x =
// b), and x where x0.
void lab_start(double u, double r, int interval, double a, double b, int x0,
               double x, lab_start_values *values);

// Why method does not run on the circuit from values, or refused_none.
int lab_refusal_of(int method, double u, double r, double i_s,
                   const lab_start_values *values);

// The message for the refusals of the count methods chosen (indices into
// the table; refusal[k] method[k]'s): one line a kind of refusal, each
// "FEHLER: " with the values and the methods that do not run, ending in
// "!\n". Empty where nothing was refused.
void lab_refusal_message(const int *method, const int *refusal, int count,
                         double u, double r, double i_s,
                         const lab_start_values *values, char *buf,
                         size_t size);

// A method's run: how it ended, the estimate and the interval's width of
// every pass; refusal where it did not run.
struct lab_run {
    int method;
    int refusal;
    int cut; // lab_cut_kind: which criterion ended it, or cut_none
    method_end end;
    double estimate[report_pass_limit];
    double width[report_pass_limit];
};

// The measures of the run's passes for its order (the errors, or the
// widths where its method measures so) into ms; returns their count.
int lab_measures(const true_root *root, const lab_run *run, double *ms);

// A measure of the comparison in buf (size bytes): a finite distance as
// %+.3g, an order as %.2f, nan, inf and -inf as such, and "-" where there
// is none (NaN). Returns buf.
enum lab_measure_kind { lab_distance, lab_order };
const char *lab_measure(char *buf, size_t size, double v, int kind);

// The word for an observed order p: "linear" below 1.15, "superlinear"
// below 1.8, "etwa quadratisch" up to 2.3, "schneller als quadratisch"
// above; "nicht bestimmbar" for NaN.
const char *lab_order_word(double p);

// Writes the comparison: "Wurzel I* = %.17g A" (the double nearest I*) or
// "Wurzel I*: keine", a line with I* to 40 digits where it is not 0, then a
// line per run.
void write_comparison(FILE *out, const true_root *root, const lab_run *runs,
                      int count);

// The cost of a run: per pass its evaluations of f and f' (*per_pass,
// those of its start values not counted; NaN without a pass), and its
// efficiency index p^(1/m), p its order from the literature and m its
// evaluations per pass.
double lab_efficiency(const lab_run *run, double *per_pass);

// Writes the cost of the runs: per method its evaluations of f and f'
// (those of the start values included, and said), the evaluations per
// pass, its order from the literature and its efficiency index.
void write_costs(FILE *out, const lab_run *runs, int count);

#endif // LAB_COMPARE_H_
