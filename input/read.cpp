// Console readers: show a prompt, read one line, trim it, convert it, and
// explain in German on standard error why a line was rejected.
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "answer.h"
#include "dalv.h"

static_assert(sizeof(long long) == 8, "strtoll must convert into 64 bits");

static const char msg_no_line[] = "FEHLER: Keine Eingabezeile lesbar!\n";
static const char msg_blank_line[] =
    "FEHLER: Abbruch wegen Eingabe einer Leerzeile!\n";
static const char msg_not_double[] = "FEHLER: Kein Gleitkomma-Wert: \"";
static const char msg_not_int[] = "FEHLER: Kein Ganzzahl-Wert: \"";
static const char msg_overflow[] = "FEHLER: Zahlenbereichsueberlauf!\n";
static const char msg_trailing[] =
    "Warnung: Nicht auswertbarer Text am Ende der Eingabe: \"";
static const char msg_echo_end[] = "\"!\n";

// Every diagnostic is written piece by piece and then flushed once.
static void report(const char *msg)
{
    fputs(msg, stderr);
    fflush(stderr);
}

static void report_echo(const char *head, const char *text)
{
    fputs(head, stderr);
    fputs(text, stderr);
    fputs(msg_echo_end, stderr);
    fflush(stderr);
}

// Shows the prompt, reads one line of at most size - 1 characters into buf
// and trims it. Returns the trimmed text inside buf, or null once the
// diagnostic for a missing or blank line has been written.
static char *read_line(const char *prompt, char *buf, int size)
{
    if (prompt != nullptr) {
        fputs(prompt, stdout);
        fflush(stdout);
    }
    if (size == 1) {
        buf[0] = '\0'; // room for the terminator only: nothing is read
    } else if (fgets(buf, size, stdin) == nullptr) {
        report(msg_no_line);
        return nullptr;
    }
    char *text = dalv_str_chomp(buf);
    if (text == nullptr)
        report(msg_blank_line);
    return text;
}

// A number has been stored; whatever follows it is worth a warning only.
static void warn_rest(const char *rest)
{
    if (*rest != '\0')
        report_echo(msg_trailing, rest);
}

int answer_to_double(const char *text, double *value)
{
    char *end = nullptr;
    double number = answer_strtod(text, &end);
    if (end == text)
        return 0;
    *value = number;
    warn_rest(end);
    return 1;
}

int dalv_read_double(const char *prompt, double *value)
{
    if (value == nullptr)
        return 0;
    char line[128];
    char *text = read_line(prompt, line, sizeof line);
    if (text == nullptr)
        return 0;
    if (!answer_to_double(text, value)) {
        report_echo(msg_not_double, text);
        return 0;
    }
    return 1;
}

int dalv_read_int(const char *prompt, int32_t *value)
{
    if (value == nullptr)
        return 0;
    char line[64];
    char *text = read_line(prompt, line, sizeof line);
    if (text == nullptr)
        return 0;

    char *end = nullptr;
    // strtoll, not strtol: long has 32 bits on some targets (wasm32).
    long long number = strtoll(text, &end, 10); // clamps to 64-bit limits
    if (end == text) {
        report_echo(msg_not_int, text);
        return 0;
    }
    if (number < INT32_MIN || number > INT32_MAX) {
        report(msg_overflow);
        return 0;
    }
    *value = static_cast<int32_t>(number);
    warn_rest(end);
    return 1;
}

int dalv_read_string(const char *prompt, char *dst, char *buf, size_t size)
{
    if (dst == nullptr || buf == nullptr || size == 0)
        return 0;
    // The line reader counts in int; a larger buffer is simply not filled up.
    int count = size > INT_MAX ? INT_MAX : static_cast<int>(size);
    char *text = read_line(prompt, buf, count);
    if (text == nullptr)
        return 0;
    strcpy(dst, text); // at most size - 1 characters and the terminator
    return 1;
}
