/* A shared object built on the installed static library: it only links if
 * libdalv.a is position-independent. */
#include <dalv.h>

int read_count(int32_t *n)
{
    return dalv_read_int("Anzahl: ", n);
}
