// Fuzz target for dalv_read_double: arbitrary bytes as standard input, read
// line by line. Every call returns 0 or 1 and leaves the value alone on 0.
#include <cstring>

#include "dalv.h"
#include "feed.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    feed_state feed = feed_begin(data, size);
    for (int call = 0; call < 4; ++call) {
        double value;
        double sentinel;
        memset(&sentinel, 0xA5, sizeof sentinel);
        memcpy(&value, &sentinel, sizeof value);
        int ok = dalv_read_double(call % 2 ? nullptr : "U? ", &value);
        FUZZ_CHECK(ok == 0 || ok == 1);
        if (ok == 0)
            FUZZ_CHECK(memcmp(&value, &sentinel, sizeof value) == 0);
    }
    feed_end(feed);
    return 0;
}
