// diodeplot: draws how bisection, regula falsi and Newton converge, from a
// diodesolve transcript on standard input: |Delta| per pass on a logarithmic
// axis, as SVG (default), PNG (--png) or a text chart (--text), by gnuplot.
#include <cstdio>
#include <cstring>

#include "common/cli.h"
#include "common/finish.h"
#include "common/gnuplot.h"
#include "common/output.h"
#include "common/status.h"
#include "plot/convergence.h"
#include "plot/transcript.h"

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
    "  -h, --help diese Hilfe       --version   die Version\n"
    "Bilder gehen nie in ein Terminal: -o DATEI oder > DATEI verwenden.\n";
struct picture {
    const transcript *t;
    enum output_format format;
    int width;
};

static void write_script(FILE *gp, const void *context)
{
    const picture *p = static_cast<const picture *>(context);
    write_convergence_script(gp, p->t, p->format, p->width);
}

int main(int argc, char **argv)
{
    int closed = tool_start();
    enum output_format format = format_svg;
    const char *path = nullptr;
    enum info_request info = info_none;
    for (int k = 1; k < argc;) {
        int took = take_output_option(argc, argv, &k, 0, &format, &path);
        if (took < 0)
            return exit_usage;
        if (took > 0)
            continue;
        enum info_request asked = info_option(argv[k]);
        if (asked == info_none)
            return usage_error("diodeplot", argv[k]);
        info = info == info_none ? asked : info;
        ++k;
    }
    if (info != info_none)
        return print_info(info, "diodeplot", help, 1, closed);
    if (refuses_terminal(format, path))
        return exit_usage;
    if ((closed & closed_stdout) && path == nullptr)
        return write_error();
    output out;
    if (output_open(&out, path) != exit_ok)
        return exit_failure;

    static transcript t;
    char why[512] = "Die Eingabe ist nicht lesbar!";
    if ((closed & closed_stdin) ||
        !read_transcript(stdin, &t, why, sizeof why)) {
        fprintf(stderr, "FEHLER: %s\n", why);
        return output_close(&out, exit_failure);
    }
    picture p = {&t, format, text_width(path)};
    return output_close(&out,
                        gnuplot_draw(write_script, &p, format, out.stream));
}
