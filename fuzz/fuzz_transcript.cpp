// Fuzz target for the transcript reader: arbitrary bytes as a transcript.
// On success every line holding a report line (at its start or after a
// space) was taken as one pass of its method, in order, with the residual
// written on it; on failure the explanation is printable ASCII only, so no
// input byte can reach the terminal unescaped.
#include <cmath>
#include <cstring>

#include "feed.h"
#include "plot/transcript.h"

// The method whose report line stands in line[0..n), or -1.
static int marked(const char *line, size_t n, const char **at)
{
    for (size_t k = 0; k + 7 <= n; ++k) {
        int method = method_by_letter(line[k]);
        if (method >= 0 && (k == 0 || line[k - 1] == ' ') &&
            memcmp(line + k + 1, " Pass ", 6) == 0) {
            *at = line + k;
            return method;
        }
    }
    return -1;
}

// The residual written after "Delta=" on a report line.
static double residual(const char *at, size_t n)
{
    char text[600] = "";
    memcpy(text, at, n < sizeof text - 1 ? n : sizeof text - 1);
    const char *d = strstr(text, "Delta=");
    FUZZ_CHECK(d != nullptr);
    return strtod(d + 6, nullptr);
}

static int same(double a, double b)
{
    return memcmp(&a, &b, sizeof a) == 0 ||
           (std::isnan(a) && std::isnan(b) &&
            !std::signbit(a) == !std::signbit(b));
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static transcript t;
    const transcript_series *series = t.series;
    char why[512];
    feed_state feed = feed_begin(data, size);
    int ok = read_transcript(stdin, &t, why, sizeof why);
    feed_end(feed);
    if (!ok) {
        FUZZ_CHECK(why[0] != '\0');
        for (const char *p = why; *p != '\0'; ++p)
            FUZZ_CHECK(*p >= 0x20 && *p <= 0x7e);
        return 0;
    }
    const char *text = reinterpret_cast<const char *>(data);
    unsigned long seen[method_count] = {};
    for (size_t start = 0; start < size;) {
        const char *end =
            static_cast<const char *>(memchr(text + start, '\n', size - start));
        size_t n = end ? static_cast<size_t>(end - text) - start : size - start;
        const char *line = text + start;
        const char *at = nullptr;
        int m = marked(line, n, &at);
        if (m >= 0) {
            FUZZ_CHECK(seen[m] < series[m].passes);
            FUZZ_CHECK(same(residual(at, n - static_cast<size_t>(at - line)),
                            series[m].delta[seen[m]]));
            ++seen[m];
        }
        start += n + 1;
    }
    unsigned long all = 0;
    for (int m = 0; m < method_count; ++m) {
        FUZZ_CHECK(seen[m] == series[m].passes && seen[m] <= report_pass_limit);
        all += seen[m];
    }
    FUZZ_CHECK(all > 0);
    return 0;
}
