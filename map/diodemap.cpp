// diodemap: where bisection, regula falsi and Newton converge, cycle or
// break down, over a whole region of circuits. Two of U, R and I_S span a
// grid, the third is fixed; every grid point runs the three methods exactly
// as diodesolve does. Output: a picture (SVG, PNG), a text map or CSV.
#include <cstdio>

#include "common/cli.h"
#include "common/finish.h"
#include "common/gnuplot.h"
#include "common/output.h"
#include "common/status.h"
#include "map/csv.h"
#include "map/engine.h"
#include "map/options.h"
#include "map/picture.h"
#include "map/textmap.h"
#include "map/view.h"

static const char msg_no_memory[] =
    "FEHLER: Nicht genug Speicher oder Threads!\n";

// The workers format the rows; here they are only written, in order.
static int write_row(int y, const method_outcome *cells, const map_text *text,
                     void *context)
{
    (void)y;
    (void)cells;
    FILE *out = static_cast<FILE *>(context);
    fwrite(text->data, 1, text->len, out);
    return ferror(out);
}

static int run_csv(const map_options *o, FILE *out)
{
    fputs(csv_header, out);
    if (map_run(&o->spec, o->threads, csv_format_row, &o->spec, write_row,
                out) < 0) {
        fputs(msg_no_memory, stderr);
        return exit_failure;
    }
    return exit_ok; // a write error shows when the output is closed
}

struct picture {
    const map_view *view;
    enum output_format format;
};

static void write_script(FILE *gp, const void *context)
{
    const picture *p = static_cast<const picture *>(context);
    write_map_script(gp, p->view, p->format);
}

// A text map or a picture: the methods' endings at a sample of the points.
static int run_view(const map_options *o, FILE *out)
{
    int width = text_width(o->path);
    int text = o->format == format_text;
    map_view view;
    int cols = text ? text_map_cols(width) : picture_samples;
    int rows = text ? text_map_rows(&o->spec, cols) : picture_samples;
    if (view_begin(&view, &o->spec, cols, rows) != 0 ||
        map_run(&o->spec, o->threads, nullptr, nullptr, view_take_row, &view) !=
            0) {
        view_end(&view);
        fputs(msg_no_memory, stderr);
        return exit_failure;
    }
    int status = exit_ok;
    if (text) {
        write_text_map(out, &view, width);
    } else {
        picture p = {&view, o->format};
        status = gnuplot_draw(write_script, &p, o->format, out);
    }
    view_end(&view);
    return status;
}

int main(int argc, char **argv)
{
    int closed = tool_start();
    map_options o;
    int status = parse_map_options(argc, argv, &o);
    if (status != exit_ok)
        return status;
    if (o.info != info_none)
        return print_info(o.info, "diodemap", map_help(), 1, closed);
    if (refuses_terminal(o.format, o.path))
        return exit_usage;
    if ((closed & closed_stdout) && o.path == nullptr)
        return write_error();
    output out;
    if (output_open(&out, o.path) != exit_ok)
        return exit_failure;
    status = o.format == format_csv ? run_csv(&o, out.stream)
                                    : run_view(&o, out.stream);
    return output_close(&out, status);
}
