// How the readers take a trimmed answer, for programs that also take
// answers from their command line (not part of the public header; the
// library's own readers use it too).
#ifndef INPUT_ANSWER_H_
#define INPUT_ANSWER_H_

// Converts the trimmed text as dalv_read_double converts a line: returns 1
// with the number in *value, writing the library's warning about text after
// it to standard error; returns 0 without a message, *value untouched,
// when the text does not begin with a number.
int answer_to_double(const char *text, double *value);

#endif // INPUT_ANSWER_H_
