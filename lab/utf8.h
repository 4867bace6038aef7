// UTF-8 in the sheets' texts (names, questions): where a sequence ends, and
// which letters LaTeX composes from its own accents.
#ifndef LAB_UTF8_H_
#define LAB_UTF8_H_

#include <cstddef>

// The length of the UTF-8 sequence at s, 1 for a byte that begins none.
inline size_t utf8_length(const char *s)
{
    unsigned char c = static_cast<unsigned char>(*s);
    size_t n = c >= 0xf0 ? 4 : c >= 0xe0 ? 3 : c >= 0xc0 ? 2 : 1;
    for (size_t k = 1; k < n; ++k)
        if ((static_cast<unsigned char>(s[k]) & 0xc0) != 0x80)
            return 1;
    return n;
}

// Whether the n bytes at s are one of the accented Latin letters that
// LaTeX composes from its own accents (and HTML shows as they are).
int latin_letter(const char *s, size_t n);

#endif // LAB_UTF8_H_
