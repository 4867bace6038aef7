// What the sheet (lab/sheet.cpp) and its questions (lab/sheet_questions.cpp)
// share: a student's runs, and the texts handed to a sink.
#ifndef LAB_SHEET_PARTS_H_
#define LAB_SHEET_PARTS_H_

#include <cstddef>

#include "lab/compare.h"
#include "lab/sheet.h"
#include "root/root.h"

// A student's runs: the circuit, every chosen method to its end with all
// its report lines, and the true root.
struct sheet_student {
    double c[3];
    method_start start;
    lab_run runs[method_count];
    report_line lines[method_count][report_pass_limit];
    true_root root;
};

// Where the texts of the parts go.
struct sheet_texts {
    sheet_sink sink;
    void *context;
};

// Hands n texts of a part to the sink.
void sheet_hand(const sheet_texts *p, enum sheet_part part, int n,
                const char *const *texts);

// Hands a numbered part (a question, an answer): its number, its text.
void sheet_numbered(const sheet_texts *p, enum sheet_part part, int number,
                    const char *text);

// Appends printf's output to buf (size bytes), keeping it terminated.
void sheet_add(char *buf, size_t size, const char *format, ...)
    __attribute__((format(printf, 3, 4)));

// The method at the chosen place k, its record.
const method_def *sheet_def(const sheet_spec *spec, int k);

// The decimal exponent of x > 0 as printf writes it: x = d.ddd * 10^e.
int sheet_decimal_exponent(double x);

// The questions that spec asks of student s, numbered from 1, each with
// its answer where key is set. A question is left out where the student's
// runs give it nothing to ask (regula falsi does not creep, no root).
void sheet_ask(const sheet_texts *p, const sheet_spec *spec,
               const sheet_student *s, int key);

#endif
