// splitdemo: splits a fixed German sentence into words with the re-entrant
// tokenizer strtok_r and prints each word in double quotes.
#include <cstdio>
#include <cstring>

static const char test_data[34] = "Dies ist ein Test. Brabbel blubb.";
static char buffer[34];
static const char msg_write_error[] =
    "FEHLER: Schreibfehler bei der Ausgabe!\n";

int main()
{
    // strtok_r writes terminators into what it splits: work on a copy.
    memcpy(buffer, test_data, sizeof buffer);
    char *saved = nullptr;
    for (char *word = strtok_r(buffer, " \t", &saved); word != nullptr;
         word = strtok_r(nullptr, " \t", &saved))
        printf("Token: \"%s\"\n", word);

    // Words that could not be written are a failure, not success.
    if (fflush(stdout) == 0 && !ferror(stdout))
        return 0;
    fputs(msg_write_error, stderr);
    fflush(stderr);
    return 1;
}
