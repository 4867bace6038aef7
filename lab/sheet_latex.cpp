// The sheets and their keys in LaTeX for pdflatex: the parts of
// lab/sheet.cpp as markup, the circuit in picture mode, the text's
// characters as pdflatex with inputenc's utf8 and the OT1 fonts shows them.
#include <cinttypes>
#include <cstring>

#include "lab/sheet.h"
#include "lab/utf8.h"

// LaTeX: the markup and the characters that are not ASCII, as pdflatex
// with inputenc's utf8 and the OT1 fonts shows them.
static const char *const latex_symbols[][2] = {{"−", "$-$"},
                                               {"·", "$\\cdot$"},
                                               {"′", "$'$"},
                                               {"″", "$''$"},
                                               {"⌈", "$\\lceil$"},
                                               {"⌉", "$\\rceil$"},
                                               {"≥", "$\\geq$"},
                                               {"≤", "$\\leq$"},
                                               {"×", "$\\times$"},
                                               {"Ω", "$\\Omega$"},
                                               {"≈", "$\\approx$"},
                                               {"–", "--"},
                                               {"²", "\\textsuperscript{2}"}};

static const char alphanumerics[] =
    "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";

static void latex_text(FILE *out, const char *s)
{
    for (const char *p = s; *p != '\0';) {
        unsigned char c = static_cast<unsigned char>(*p);
        size_t n = utf8_length(p);
        if (n > 1) {
            const char *shown = "?";
            for (const auto &symbol : latex_symbols)
                if (strncmp(p, symbol[0], n) == 0 && strlen(symbol[0]) == n)
                    shown = symbol[1];
            if (latin_letter(p, n))
                shown = nullptr;
            if (shown != nullptr)
                fputs(shown, out);
            else
                fwrite(p, 1, n, out);
            p += n;
            continue;
        }
        size_t run = c == '_' || c == '^' ? strspn(p + 1, alphanumerics) : 0;
        if (c == '^' && run == 0 && strncmp(p + 1, "−", 3) == 0)
            run = 3 + strspn(p + 4, "0123456789");
        if (run > 0) {
            fputs(c == '_' ? "\\textsubscript{" : "\\textsuperscript{", out);
            for (size_t k = 1; k <= run;) {
                if (strncmp(p + k, "−", 3) == 0) {
                    fputs("$-$", out);
                    k += 3;
                } else
                    fputc(p[k++], out);
            }
            fputc('}', out);
            p += run + 1;
            continue;
        }
        switch (c) {
        case '*': fputs("\\textsuperscript{*}", out); break;
        case '#':
        case '$':
        case '%':
        case '&':
        case '{':
        case '}':
        case '_': fprintf(out, "\\%c", c); break;
        case '~': fputs("\\textasciitilde{}", out); break;
        case '^': fputs("\\textasciicircum{}", out); break;
        case '\\': fputs("\\textbackslash{}", out); break;
        case '<':
        case '>':
        case '|': fprintf(out, "$%c$", c); break;
        default: fputc(c, out);
        }
        ++p;
    }
}

struct latex {
    FILE *out;
    int pages;
    int key;
    int tables; // within a paragraph of tables, side by side where they fit
};

// The circuit in LaTeX's picture mode: the source on the left, R at the
// top, the diode on the right, the current's arrow on the top wire.
static void latex_circuit(FILE *out, const char *const *v)
{
    fputs("\\begin{center}\\setlength{\\unitlength}{0.8pt}"
          "\\begin{picture}(330,112)\n"
          "\\put(60,50){\\circle{28}}\\put(56,56){$+$}\\put(56,38){$-$}\n"
          "\\put(60,64){\\line(0,1){26}}\\put(60,90){\\line(1,0){90}}\n"
          "\\put(150,82){\\framebox(50,16){}}\\put(200,90){\\line(1,0){80}}\n"
          "\\put(280,90){\\line(0,-1){25}}\\put(270,65){\\line(1,0){20}}\n"
          "\\put(270,65){\\line(1,-2){10}}\\put(290,65){\\line(-1,-2){10}}\n"
          "\\put(270,45){\\line(1,0){20}}\\put(280,45){\\line(0,-1){35}}\n"
          "\\put(280,10){\\line(-1,0){220}}\\put(60,10){\\line(0,1){26}}\n"
          "\\put(95,90){\\vector(1,0){20}}\\put(100,94){$I$}\n",
          out);
    fputs("\\put(40,50){\\makebox(0,0)[r]{$U$ = ", out);
    latex_text(out, v[0]);
    fputs(" V}}\n\\put(175,106){\\makebox(0,0)[b]{$R$ = ", out);
    latex_text(out, v[1]);
    fputs(" $\\Omega$}}\n\\put(298,55){\\makebox(0,0)[l]{$I_S$ = ", out);
    latex_text(out, v[2]);
    fputs(" A}}\n\\end{picture}\\end{center}\n", out);
}

static void latex_part(void *context, enum sheet_part part, int n,
                       const char *const *texts)
{
    latex *l = static_cast<latex *>(context);
    FILE *out = l->out;
    if (l->tables && part != part_table && part != part_row &&
        part != part_table_end) {
        fputs("\\par\\medskip\n", out);
        l->tables = 0;
    }
    switch (part) {
    case part_page:
        fputs(l->pages++ ? "\\newpage\n" : "", out);
        fputs("\\section*{", out);
        latex_text(out, texts[0]);
        fputs("}\n", out);
        break;
    case part_text:
        latex_text(out, texts[0]);
        fputs("\\par\n", out);
        break;
    case part_circuit: latex_circuit(out, texts); break;
    case part_table:
        // Columns wide enough to write a value in by hand; a caption row.
        // Side by side where they fit, else each on a line of its own,
        // flush left (a break after the fill leaves no underfull line).
        fputs(l->tables ? "\\hfill\\penalty0\\hspace{1.2em}"
                        : "\\medskip\\noindent ",
              out);
        l->tables = 1;
        fputs("{\\small\\begin{tabular}[t]{@{}r", out);
        for (int k = 2; k < n; ++k)
            fputs(k < 6 ? ">{\\raggedleft\\arraybackslash}p{2.05cm}" : "l",
                  out);
        fprintf(out, "@{}}\n\\multicolumn{%d}{@{}l}{\\textbf{", n - 1);
        latex_text(out, texts[0]);
        fputs("}} \\\\\n\\toprule\n", out);
        for (int k = 1; k < n; ++k) {
            fputs(k > 1 ? " & " : "", out);
            latex_text(out, texts[k]);
        }
        fputs(" \\\\\n\\midrule\n", out);
        break;
    case part_row:
        for (int k = 0; k < n; ++k) {
            fputs(k > 0 ? " & " : l->key ? "" : "\\rule{0pt}{1.25em}", out);
            latex_text(out, texts[k]);
        }
        fputs(" \\\\\n", out);
        break;
    case part_table_end: fputs("\\bottomrule\n\\end{tabular}}%\n", out); break;
    case part_question:
        fprintf(out, "\\medskip\\textbf{%s.} ", texts[0]);
        latex_text(out, texts[1]);
        fputs(l->key ? "\\par\n" : "\\par\\vspace{1.6\\baselineskip}\n", out);
        break;
    case part_answer:
        fputs("\\emph{Antwort:} ", out);
        latex_text(out, texts[1]);
        fputs("\\par\n", out);
        break;
    }
}

int sheet_write_latex(FILE *out, const sheet_spec *spec)
{
    fprintf(out,
            "%% Übungsblätter und Lösungen: diodelab --blatt %" PRIu64
            " (pdflatex)\n"
            "\\documentclass[a4paper,10pt]{article}\n"
            "\\usepackage[utf8]{inputenc}\n"
            "\\usepackage[a4paper,margin=18mm]{geometry}\n"
            "\\usepackage{array,booktabs}\n"
            "\\pagestyle{empty}\\setlength{\\parindent}{0pt}"
            "\\setlength{\\parskip}{0.6ex}\\setlength{\\tabcolsep}{4pt}"
            "\\sloppy\n"
            "\\begin{document}\n",
            spec->seed);
    latex l = {out, 0, 0, 0};
    if (!sheet_parts(spec, 0, spec->count, latex_part, &l))
        return 0;
    l.key = 1;
    sheet_parts(spec, 1, spec->count, latex_part, &l);
    fputs("\\end{document}\n", out);
    return 1;
}
