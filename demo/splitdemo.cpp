// splitdemo: splits a fixed German sentence into words with the re-entrant
// tokenizer strtok_r and prints each word in double quotes.
#include <cstdio>
#include <cstring>

#include "common/finish.h"

static const char test_data[34] = "Dies ist ein Test. Brabbel blubb.";
static char buffer[34];

int main()
{
    // strtok_r writes terminators into what it splits: work on a copy.
    memcpy(buffer, test_data, sizeof buffer);
    char *saved = nullptr;
    for (char *word = strtok_r(buffer, " \t", &saved); word != nullptr;
         word = strtok_r(nullptr, " \t", &saved))
        printf("Token: \"%s\"\n", word);

    return finish_output(stdout);
}
