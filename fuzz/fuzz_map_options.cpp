// Fuzz target for diodemap's option parser, which also reads the page's
// links (?karte=...): the input split at blanks into at most 64 words, as
// the page splits a link. The parser must answer with exit_ok or
// exit_usage, and a map it accepts must be one the engine can run: two
// different axes with 2 to 4000 points, the third quantity one value, finite
// ends that differ on each axis, 1 to 256 threads.
#include <cmath>

#include "common/status.h"
#include "feed.h"
#include "map/options.h"

static int valid(const map_options *o)
{
    const map_spec *s = &o->spec;
    if (s->x == s->y || s->x < 0 || s->y < 0 || s->x >= map_quantities ||
        s->y >= map_quantities || o->threads < 1 || o->threads > 256)
        return 0;
    for (int q = 0; q < map_quantities; ++q) {
        const map_range *r = &s->range[q];
        int axis = q == s->x || q == s->y;
        if (!std::isfinite(r->a) || !std::isfinite(r->b) ||
            (axis ? r->points < 2 || r->points > map_max_points || r->a == r->b
                  : r->points != 1 || r->a != r->b))
            return 0;
    }
    return 1;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    char *argv[fuzz_words + 2];
    int argc = fuzz_argv(data, size, "diodemap", argv);
    map_options o;
    int status = parse_map_options(argc, argv, &o);
    FUZZ_CHECK(status == exit_usage || (status == exit_ok && valid(&o)));
    return 0;
}
