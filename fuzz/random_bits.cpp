// Runs a fuzz target over fixed inputs instead of libFuzzer's: the special
// bit patterns of a double, then argv[1] (default 1000000) random 8-byte
// patterns from a fixed seed, so that every build checks the same ones.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "feed.h"

static void run(uint64_t bits)
{
    uint8_t input[8];
    memcpy(input, &bits, sizeof input);
    LLVMFuzzerTestOneInput(input, sizeof input);
}

int main(int argc, char **argv)
{
    static const uint64_t specials[] = {0,
                                        1ull << 63,
                                        1,
                                        0x000fffffffffffffull,
                                        0x0010000000000000ull,
                                        0x7fefffffffffffffull,
                                        0x7ff0000000000000ull,
                                        0xfff0000000000000ull,
                                        0x7ff8000000000000ull,
                                        0xfff8000000000000ull,
                                        0x7ff0000000000001ull,
                                        0xfff4000000000abcull,
                                        0x3ff0000000000000ull,
                                        0x3fb999999999999aull};
    for (uint64_t bits : specials)
        run(bits);
    long count = argc > 1 ? atol(argv[1]) : 1000000;
    uint64_t state = 0x9e3779b97f4a7c15ull; // splitmix64
    for (long k = 0; k < count; ++k) {
        uint64_t z = (state += 0x9e3779b97f4a7c15ull);
        z = (z ^ (z >> 30)) * 0xbf58476d1ce4e5b9ull;
        z = (z ^ (z >> 27)) * 0x94d049bb133111ebull;
        run(z ^ (z >> 31));
    }
    printf("random_bits: %zu special and %ld random patterns passed\n",
           sizeof specials / sizeof specials[0], count);
    return 0;
}
