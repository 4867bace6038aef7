// Replays fuzz inputs without libFuzzer: every file named on the command
// line goes once through the target, so an input that once crashed it stays
// a test in every build.
#include <cstdint>
#include <cstdio>

#include "feed.h"

static uint8_t input[1 << 20];

int main(int argc, char **argv)
{
    for (int k = 1; k < argc; ++k) {
        FILE *file = fopen(argv[k], "rb");
        size_t size = file ? fread(input, 1, sizeof input, file) : 0;
        if (file == nullptr || ferror(file) || !feof(file)) {
            fprintf(stderr, "replay: cannot read all of %s\n", argv[k]);
            return 2;
        }
        fclose(file);
        LLVMFuzzerTestOneInput(input, size);
    }
    fprintf(stderr, "replay: %d inputs passed\n", argc - 1);
    return argc > 1 ? 0 : 2;
}
