// Fuzz harness support: makes one input the whole of standard input, and
// checks the properties every target asserts.
#ifndef FUZZ_FEED_H_
#define FUZZ_FEED_H_

#include <cctype>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

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

// An option parser's command line from the input: name, then the input
// (at most 4095 bytes of it) split at blanks into at most 64 words, in
// argv (room for 66). Returns argc.
enum { fuzz_words = 64, fuzz_text = 4096 };
inline int fuzz_argv(const uint8_t *data, size_t size, const char *name,
                     char *argv[fuzz_words + 2])
{
    static char text[fuzz_text];
    size_t n = size < sizeof text - 1 ? size : sizeof text - 1;
    memcpy(text, data, n);
    text[n] = '\0';
    argv[0] = const_cast<char *>(name);
    int argc = 1;
    for (char *p = text; *p != '\0' && argc <= fuzz_words;) {
        while (*p != '\0' && isspace(static_cast<unsigned char>(*p)))
            *p++ = '\0';
        if (*p == '\0')
            break;
        argv[argc++] = p;
        while (*p != '\0' && !isspace(static_cast<unsigned char>(*p)))
            ++p;
    }
    argv[argc] = nullptr;
    return argc;
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
