// diodelab's command line.
#ifndef LAB_OPTIONS_H_
#define LAB_OPTIONS_H_

#include "common/args.h"
#include "lab/cut.h"
#include "lab/sheet.h"
#include "solver/method.h"

struct lab_options {
    int given;         // which of --U, --R, --IS were given (bits 0 to 2)
    double circuit[3]; // U, R, I_S as given
    int method[method_count];
    int methods;        // --verfahren, by default all in the table's order
    int interval;       // --intervall A:B given
    int x0;             // --x0 X given
    method_start start; // their values (x = B with --intervall alone)
    const char *path;   // -o FILE, or null
    enum info_request info;
    // --schritt-tol T, --residuum-tol T and --grenze K: criteria that cut
    // the runs; --kosten: the evaluations and efficiency after the
    // comparison.
    lab_cut cut;
    int costs;
    // --blatt SEED: exercise sheets instead of one circuit (then --U, --R
    // and --IS are ranges), with --anzahl, --namen, --durchlaeufe and
    // --fragen; --csv writes their key as CSV.
    int sheets;
    int csv;
    sheet_spec sheet;
};

// Reads the arguments. Returns exit_ok, or exit_usage after a German
// message naming the argument that was wrong.
int parse_lab_options(int argc, char **argv, lab_options *o);

// The usage, the methods listed from the table.
const char *lab_help();

#endif // LAB_OPTIONS_H_
