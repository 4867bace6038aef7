// diodelab: one circuit, all the methods side by side. It takes the
// circuit from --U, --R and --IS or asks for it as diodesolve does, runs
// each chosen method from its start values with one report line per pass
// and an empty line after each block, then compares how each ended with
// the true root I* of the mesh equation; criteria (--schritt-tol,
// --residuum-tol, --grenze) may cut the runs, and --kosten adds their
// evaluations. With --blatt it writes exercise sheets and their key
// instead.
#include <cinttypes>
#include <cmath>
#include <cstdio>

#include "common/cli.h"
#include "common/finish.h"
#include "common/output.h"
#include "common/status.h"
#include "dalv.h"
#include "lab/compare.h"
#include "lab/options.h"

struct recording {
    FILE *out;
    lab_run *run;
};

static void record(const report_line *line, void *context)
{
    recording *r = static_cast<recording *>(context);
    report_print(r->out, line);
    r->run->estimate[line->pass - 1] = line->i;
    r->run->width[line->pass - 1] = std::fabs(line->b - line->a);
}

// The circuit from the options or the dialogue; returns 0 when the
// dialogue ended without one (its diagnostic is written).
static int read_circuit(const lab_options *o, double c[3])
{
    if (o->given) {
        for (int q = 0; q < 3; ++q)
            c[q] = o->circuit[q];
        return 1;
    }
    return dalv_read_double("Gesamtspannung in V: ", &c[0]) &&
           dalv_read_double("Widerstand in Ohm: ", &c[1]) &&
           dalv_read_double("Saettigungsstrom in Ampere: ", &c[2]);
}

// Runs the chosen methods, each with its block, and compares them; a
// method that cannot start from the start values given writes no block,
// and why is said on standard error first.
static void run_methods(FILE *out, const lab_options *o, const double c[3])
{
    static lab_run runs[method_count];
    lab_start_values start;
    lab_start(c[0], c[1], o->interval, o->start.a, o->start.b, o->x0,
              o->start.x, &start);
    int refusal[method_count];
    for (int k = 0; k < o->methods; ++k)
        refusal[k] = lab_refusal_of(o->method[k], c[0], c[1], c[2], &start);
    char said[1024];
    lab_refusal_message(o->method, refusal, o->methods, c[0], c[1], c[2],
                        &start, said, sizeof said);
    fputs(said, stderr);
    fflush(stderr);
    for (int k = 0; k < o->methods; ++k) {
        runs[k].method = o->method[k];
        runs[k].refusal = refusal[k];
        if (refusal[k] != refused_none)
            continue;
        recording r = {out, &runs[k]};
        lab_run_cut(o->method[k], c[0], c[1], c[2], &start.start, &o->cut,
                    record, &r, &runs[k].end, &runs[k].cut);
        report_end_block(out);
    }
    true_root root;
    root_find(c[0], c[1], c[2], &root);
    write_comparison(out, &root, runs, o->methods);
    int bisection = method_by_letter('H');
    for (int k = 0; k < o->methods; ++k)
        if (runs[k].method == bisection && refusal[k] == refused_none &&
            !std::isnan(o->cut.step))
            fprintf(out,
                    "Halbierung a priori: ceil(log2((b - a) / T)) = %d "
                    "Durchlaeufe bis zur Breite T (gelaufen: %" PRIu64 ")\n",
                    lab_bisection_a_priori(start.start.b - start.start.a,
                                           o->cut.step),
                    runs[k].end.passes);
    if (o->costs)
        write_costs(out, runs, o->methods);
}

int main(int argc, char **argv)
{
    int closed = tool_start();
    lab_options o;
    int status = parse_lab_options(argc, argv, &o);
    if (status != exit_ok)
        return status;
    if (o.info != info_none)
        return print_info(o.info, "diodelab", lab_help(), 0, closed);
    if ((closed & closed_stdout) && o.path == nullptr)
        return write_error();
    output out;
    if (output_open(&out, o.path) != exit_ok)
        return exit_failure;
    if (o.sheets) {
        if (o.csv)
            sheet_write_csv(out.stream, &o.sheet);
        else
            sheet_write_latex(out.stream, &o.sheet);
        return output_close(&out, exit_ok);
    }
    double c[3];
    if (read_circuit(&o, c))
        run_methods(out.stream, &o, c);
    // Standard input that could not be read is a failure, as in diodesolve:
    // also a closed one, which tool_start() put /dev/null in place of.
    int unreadable = ferror(stdin) || (o.given == 0 && (closed & closed_stdin));
    status = unreadable ? exit_failure : exit_ok;
    if (out.stream != stdout && finish_output(stdout) != exit_ok)
        status = exit_failure; // the prompts were lost
    return output_close(&out, status);
}
