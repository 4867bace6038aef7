// Fuzz target for the map's CSV numbers: the first 8 bytes as the bits of a
// double (any: subnormal, ±0, ±inf, NaN with any payload). Its CSV spelling
// must be exactly what printf's %.17g writes.
#include <cstdio>
#include <cstring>

#include "feed.h"
#include "map/csv.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    double v = 0.0;
    memcpy(&v, data, size < sizeof v ? size : sizeof v);
    char want[64];
    int n = snprintf(want, sizeof want, "%.17g", v);
    char got[64];
    char *end = csv_number(got, v);
    FUZZ_CHECK(n > 0 && end - got == n && memcmp(got, want, size_t(n)) == 0);
    return 0;
}
