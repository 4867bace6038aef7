// Fuzz target for diodelab's option parser: the input split at blanks into
// at most 64 words. The parser must answer with exit_ok or exit_usage, and
// what it accepts must be a run: one to all of the methods, each once, and
// the circuit given whole or not at all (unless --help or --version).
#include "common/status.h"
#include "feed.h"
#include "lab/options.h"

static int valid(const lab_options *o)
{
    if (o->methods < 1 || o->methods > method_count)
        return 0;
    int seen[method_count] = {};
    for (int k = 0; k < o->methods; ++k) {
        if (o->method[k] < 0 || o->method[k] >= method_count ||
            seen[o->method[k]]++)
            return 0;
    }
    return o->info != info_none || o->given == 0 || o->given == 7;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    char *argv[fuzz_words + 2];
    int argc = fuzz_argv(data, size, "diodelab", argv);
    lab_options o;
    int status = parse_lab_options(argc, argv, &o);
    FUZZ_CHECK(status == exit_usage || (status == exit_ok && valid(&o)));
    return 0;
}
