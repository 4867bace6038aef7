// diodeplot: draws how bisection, regula falsi and Newton converge, from a
// diodesolve transcript on standard input: |Delta| per pass on a logarithmic
// axis, as SVG (default), PNG (--png) or a text chart (--text), by gnuplot.
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "cli.h"
#include "convergence.h"
#include "finish.h"
#include "gnuplot.h"
#include "transcript.h"

static const char help[] =
    "Aufruf: diodeplot [--svg | --png | --text] [-o DATEI] < "
    "diodesolve-ausgabe\n"
    "Zeichnet aus der Ausgabe von diodesolve, wie Halbierung, Regula falsi "
    "und\nNewton konvergieren: |Delta| je Durchlauf auf logarithmischer "
    "Achse.\n"
    "  --svg      SVG-Bild (Voreinstellung)\n"
    "  --png      PNG-Bild\n"
    "  --text     Textgrafik so breit wie das Terminal (sonst COLUMNS, sonst "
    "80)\n"
    "  -o DATEI   in DATEI schreiben statt auf die Standardausgabe\n"
    "  --help     diese Hilfe\n"
    "Bilder gehen nie in ein Terminal: -o DATEI oder > DATEI verwenden.\n";
// The dumb terminal pads its page with blanks, empty lines and a form feed:
// keep the chart's lines only, without trailing blanks, each ended by a
// line feed.
static void clean_text(char *data, size_t *len)
{
    size_t out = 0;
    size_t line_start = 0;
    for (size_t k = 0; k < *len; ++k) {
        char c = data[k];
        if (c == '\f')
            continue;
        if (c == '\n') {
            while (out > line_start && data[out - 1] == ' ')
                --out;
            if (out > 0)
                data[out++] = '\n';
            line_start = out;
            continue;
        }
        data[out++] = c;
    }
    while (out > line_start && data[out - 1] == ' ')
        --out;
    while (out > 0 && data[out - 1] == '\n' &&
           (out == 1 || data[out - 2] == '\n'))
        --out;
    if (out > 0 && data[out - 1] != '\n')
        data[out++] = '\n';
    *len = out;
}

static int draw(const transcript_series *series, enum output_kind kind,
                const char *path)
{
    FILE *gp = gnuplot_script();
    if (gp == nullptr)
        return 3;
    write_convergence_script(gp, series, kind, text_width(path));
    char *data = nullptr;
    size_t len = 0;
    int status = gnuplot_run(gp, &data, &len);
    if (status != 0)
        return status;
    if (kind == out_text)
        clean_text(data, &len);
    status = write_output(path, data, len);
    free(data);
    return status;
}

int main(int argc, char **argv)
{
    int closed = tool_start();
    enum output_kind kind = out_svg;
    const char *path = nullptr;
    int want_help = 0;
    for (int k = 1; k < argc;) {
        int took = take_output_option(argc, argv, &k, 0, &kind, &path);
        if (took < 0)
            return 64;
        if (took > 0)
            continue;
        if (strcmp(argv[k], "--help") != 0)
            return usage_error("diodeplot", argv[k]);
        want_help = 1;
        ++k;
    }
    if (want_help)
        return print_help(help, closed);
    if (refuses_terminal(kind, path))
        return 64;

    static transcript_series series[report_methods];
    char why[512] = "Die Eingabe ist nicht lesbar!";
    if ((closed & closed_stdin) ||
        !read_transcript(stdin, series, why, sizeof why)) {
        fprintf(stderr, "FEHLER: %s\n", why);
        return 1;
    }
    if ((closed & closed_stdout) && path == nullptr)
        return write_error();
    return draw(series, kind, path);
}
