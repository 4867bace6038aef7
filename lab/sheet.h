// Exercise sheets: one circuit per student, drawn from a seed, with a blank
// table of the first passes of each chosen method and questions on the
// run; and the key, with the tables filled in as the report lines give
// them, the true root and the answers, each computed from the student's
// runs. The same spec gives the same circuits and the same bytes wherever
// it is compiled (the draw uses integers only; a value is a decimal of two
// significant digits, read back by strtod).
#ifndef LAB_SHEET_H_
#define LAB_SHEET_H_

#include <cstdint>
#include <cstdio>

#include "solver/method.h"

// The questions a sheet may ask, as bits, and their letters on the command
// line (sheet_question_letters, in this order): the least number of
// bisection passes for a width (H), which method ends first and why (Z),
// why regula falsi creeps (K; asked where it does), the error after the
// last pass of the table (F).
enum sheet_question {
    question_bisection = 1,
    question_first = 2,
    question_creep = 4,
    question_error = 8,
    sheet_questions = 4
};
extern const char sheet_question_letters[sheet_questions + 1]; // "HZKF"

// Bounds: students, passes in a table, the lines of tables one page holds
// (sheet_table_lines), and the bytes of one name.
enum {
    sheet_max_students = 500,
    sheet_max_passes = 10,
    sheet_page_lines = 22,
    sheet_name_bytes = 40 // after sanitizing
};

// What the teacher gives: the seed, the students (a count, or names
// separated by commas or line feeds), the ranges of U, R and I_S (lo ==
// hi: that value; all positive and finite), the methods, the passes of the
// tables and the questions.
struct sheet_spec {
    uint64_t seed;
    int count;
    const char *names; // null: none
    double lo[3], hi[3];
    int method[method_count];
    int methods;
    int passes;
    unsigned questions;
};

// How much of a page the tables take, in lines of text: the tables stand
// side by side where their widths fit the page (a table of I and Delta is
// 61 mm wide, one with the ends 109 mm, one with the step taken too
// 129 mm, on 174 mm), each row of them the passes, the start row and three
// lines for the caption, header and rules. At most sheet_page_lines.
int sheet_table_lines(const sheet_spec *spec);

// Student k's circuit (from 0): U, R, I_S. Returns 0 where a range holds
// no decimal of two or three significant digits (then c is unset).
int sheet_circuit(const sheet_spec *spec, int k, double c[3]);

// Student k's name, sanitized for LaTeX and HTML alike (letters, digits,
// blanks, . - ' and the accented Latin letters LaTeX composes; any other
// character becomes ?, at most sheet_name_bytes bytes), or "" without
// names. Returns buf.
const char *sheet_name(const sheet_spec *spec, int k, char *buf, size_t size);

// How many names the text holds (names separated by commas or line feeds;
// an empty one does not count).
int sheet_name_count(const char *names);

// The parts of a sheet, as its writers receive them: a page and its title;
// a paragraph; the circuit's values as text (U, R, I_S); a table (its
// caption, then its header cells), its rows and its end; a question and an
// answer (its number, its text). Texts are UTF-8 with a light markup that
// each writer renders: X_Y a subscript (Y letters and digits), ^Y a
// superscript (Y digits, a leading minus), I* the true root.
enum sheet_part {
    part_page,
    part_text,
    part_circuit,
    part_table,
    part_row,
    part_table_end,
    part_question,
    part_answer
};
typedef void (*sheet_sink)(void *context, enum sheet_part part, int n,
                           const char *const *texts);

// Hands the sheets (key 0) or the keys (key 1) of the first students
// (spec->count: every one), in order, to sink; each is the same whether
// the others follow or not. Returns 0 where a circuit of any student
// cannot be drawn (nothing handed).
int sheet_parts(const sheet_spec *spec, int key, int students, sheet_sink sink,
                void *context);

// Writes the sheets, then the keys, as one LaTeX document for pdflatex (A4,
// each sheet and each key a page of its own).
int sheet_write_latex(FILE *out, const sheet_spec *spec);

// Writes the key as CSV: "blatt,U,R,IS,verfahren,durchlauf,I,Delta", one
// row per student, method and pass of the table, numbers as %.17g.
int sheet_write_csv(FILE *out, const sheet_spec *spec);

// Writes the sheets (key 0) or the keys of the first students as lines,
// one part a line: its number and its texts, separated by tabs (the page
// reads them; the first alone for its preview).
int sheet_write_lines(FILE *out, const sheet_spec *spec, int key, int students);

#endif // LAB_SHEET_H_
