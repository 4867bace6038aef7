// Fuzz target for dalv_read_int: arbitrary bytes as standard input, read
// line by line. Every call returns 0 or 1 and leaves the value alone on 0.
#include "dalv.h"
#include "feed.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    feed_state feed = feed_begin(data, size);
    for (int call = 0; call < 4; ++call) {
        const int32_t sentinel = -123456789;
        int32_t value = sentinel;
        int ok = dalv_read_int(call % 2 ? nullptr : "n? ", &value);
        FUZZ_CHECK(ok == 0 || ok == 1);
        if (ok == 0)
            FUZZ_CHECK(value == sentinel);
    }
    feed_end(feed);
    return 0;
}
