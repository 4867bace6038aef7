// diodesolve: the current I of a voltage source U driving a resistor R in
// series with a diode of saturation current I_S, found three times over, by
// bisection, regula falsi and Newton's method (see solver/equation.h and
// the methods' files), with one report line per pass and an empty line
// after each method's block.
#include <cstdio>

#include "common/finish.h"
#include "common/status.h"
#include "dalv.h"
#include "solver/method.h"
#include "solver/report.h"

static void print_pass(const report_line *line, void *context)
{
    (void)context;
    report_print(stdout, line);
}

// Exit status of a run: lost output is a failure, and so is standard input
// that could not be read (its diagnostic is already written); end of input,
// a blank line or a rejected answer are not.
static int finish()
{
    int status = finish_output(stdout);
    return ferror(stdin) ? exit_failure : status;
}

int main()
{
    double u = 0.0;
    double r = 0.0;
    double i_s = 0.0;
    if (!dalv_read_double("Gesamtspannung in V: ", &u))
        return finish();
    if (!dalv_read_double("Widerstand in Ohm: ", &r))
        return finish();
    if (!dalv_read_double("Saettigungsstrom in Ampere: ", &i_s))
        return finish();
    method_end end;
    halbierung(u, r, i_s, print_pass, nullptr, &end);
    report_end_block(stdout);
    regula_falsi(u, r, i_s, print_pass, nullptr, &end);
    report_end_block(stdout);
    newton(u, r, i_s, print_pass, nullptr, &end);
    report_end_block(stdout);
    return finish();
}
