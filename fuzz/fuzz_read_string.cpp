// Fuzz target for dalv_read_string: the first byte picks the buffer size
// (0 to 255), the rest is standard input. Buffers are exactly that size, so
// the address sanitizer catches any access past them. A delivered text is
// trimmed, terminated and shorter than size; on 0 dst is untouched.
#include <cstring>

#include "dalv.h"
#include "feed.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size == 0)
        return 0;
    size_t bytes = data[0];
    char *dst = static_cast<char *>(malloc(bytes > 0 ? bytes : 1));
    char *buf = static_cast<char *>(malloc(bytes > 0 ? bytes : 1));
    FUZZ_CHECK(dst != nullptr && buf != nullptr);

    feed_state feed = feed_begin(data + 1, size - 1);
    for (int call = 0; call < 3; ++call) {
        memset(dst, 'Q', bytes);
        int ok = dalv_read_string(call % 2 ? nullptr : "s? ", dst, buf, bytes);
        FUZZ_CHECK(ok == 0 || ok == 1);
        if (ok == 0) {
            for (size_t k = 0; k < bytes; ++k)
                FUZZ_CHECK(dst[k] == 'Q');
            continue;
        }
        size_t n = strnlen(dst, bytes);
        FUZZ_CHECK(n > 0 && n < bytes);
        FUZZ_CHECK(!is_blank(dst[0]) && !is_blank(dst[n - 1]));
        for (size_t k = n + 1; k < bytes; ++k)
            FUZZ_CHECK(dst[k] == 'Q');
    }
    feed_end(feed);
    free(dst);
    free(buf);
    return 0;
}
