// Fuzz harness support: makes one input the whole of standard input, and
// checks the properties every target asserts.
#ifndef FUZZ_FEED_H_
#define FUZZ_FEED_H_

#include <cstdint>
#include <cstdio>
#include <cstdlib>

// The entry point every target defines, for libFuzzer and for the replayer.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size);

// Runs reader calls on standard input replaced by the bytes data[0..size).
// The readers use the stdin stream itself, so the stream pointer is swapped
// for a memory stream over the input and restored afterwards.
struct feed_state {
    FILE *original;
    FILE *memory;
};

inline feed_state feed_begin(const uint8_t *data, size_t size)
{
    static char empty[1];
    void *bytes = size > 0 ? const_cast<uint8_t *>(data) : nullptr;
    feed_state state = {stdin, fmemopen(bytes ? bytes : empty, size, "r")};
    if (state.memory == nullptr)
        abort();
    stdin = state.memory;
    return state;
}

inline void feed_end(feed_state state)
{
    stdin = state.original;
    fclose(state.memory);
}

// The four blanks a trimmed text may neither start nor end with.
inline int is_blank(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

#define FUZZ_CHECK(cond)                                                       \
    do {                                                                       \
        if (!(cond)) {                                                         \
            fprintf(stderr, "%s:%d: check failed: %s\n", __FILE__, __LINE__,   \
                    #cond);                                                    \
            abort();                                                           \
        }                                                                      \
    } while (0)

#endif // FUZZ_FEED_H_
