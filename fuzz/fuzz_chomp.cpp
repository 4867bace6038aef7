// Fuzz target for dalv_str_chomp: arbitrary text, trimmed in place. Only
// leading and trailing blanks may go, and an all-blank text stays unchanged.
#include <cstring>

#include "dalv.h"
#include "feed.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    char *text = static_cast<char *>(malloc(size + 1));
    char *before = static_cast<char *>(malloc(size + 1));
    FUZZ_CHECK(text != nullptr && before != nullptr);
    memcpy(text, data, size);
    text[size] = '\0';
    memcpy(before, text, size + 1);
    size_t len = strlen(text);

    char *first = dalv_str_chomp(text);
    if (first == nullptr) {
        FUZZ_CHECK(memcmp(text, before, size + 1) == 0);
        for (size_t k = 0; k < len; ++k)
            FUZZ_CHECK(is_blank(before[k]));
    } else {
        size_t start = static_cast<size_t>(first - text);
        size_t n = strlen(first);
        FUZZ_CHECK(first >= text && start < len && n > 0);
        FUZZ_CHECK(!is_blank(first[0]) && !is_blank(first[n - 1]));
        FUZZ_CHECK(memcmp(first, before + start, n) == 0);
        for (size_t k = 0; k < start; ++k)
            FUZZ_CHECK(is_blank(before[k]) && text[k] == before[k]);
        for (size_t k = start + n; k < len; ++k)
            FUZZ_CHECK(is_blank(before[k]));
        for (size_t k = start + n + 1; k <= size; ++k)
            FUZZ_CHECK(text[k] == before[k]); // one terminator, nothing more
    }
    free(text);
    free(before);
    return 0;
}
