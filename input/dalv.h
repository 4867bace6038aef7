/* dalv: console input for interactive programs. Each reader shows a prompt,
 * reads one line from standard input, trims it and converts it; bad input is
 * explained in German on standard error and never asked for again. */
#ifndef INPUT_DALV_H_
#define INPUT_DALV_H_

#include <stddef.h>
#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

/* Cuts the leading and trailing blanks (space, tab, carriage return, line
 * feed) off s in place. Returns a pointer to the first non-blank character
 * inside s, after writing a terminator behind the last one; returns null and
 * leaves s unchanged when s is null or holds blanks only. Vertical tab and
 * form feed are not blanks. */
char *dalv_str_chomp(char *s);

/* Writes prompt (unless null) to standard output and flushes it, reads one
 * line of at most 127 characters and converts it like strtod. On success
 * stores the number in *value and returns 1; text after the number earns a
 * warning on standard error but the number is still stored. On end of
 * input, a read error, a blank line or no number at all, writes a diagnostic
 * to standard error and returns 0 with *value untouched. A null value
 * returns 0 at once, without prompt, read or message. */
int dalv_read_double(const char *prompt, double *value);

/* As dalv_read_double, for a decimal integer in the signed 32-bit range read
 * from a line of at most 63 characters. A number outside that range is an
 * error: nothing is stored and 0 is returned. */
int dalv_read_int(const char *prompt, int32_t *value);

/* Writes prompt (unless null), reads one line of at most size - 1 characters
 * into the scratch buffer buf, trims it and copies the result with its
 * terminator into dst, which must hold size bytes and must not overlap buf.
 * Returns 1 on success; on end of input, a read error or a blank line writes
 * a diagnostic to standard error and returns 0 with dst untouched. A null
 * dst, a null buf or a size of 0 returns 0 at once, silently. A size of 1
 * leaves no room for a character and always ends in the blank-line error.
 * A size beyond INT_MAX reads at most INT_MAX - 1 characters. */
int dalv_read_string(const char *prompt, char *dst, char *buf, size_t size);

#ifdef __cplusplus
} /* extern "C" */
#endif

#endif /* INPUT_DALV_H_ */
