/* A program outside the source tree that uses the installed dalv library. */
#include <stdio.h>

#include <dalv.h>

int main(void)
{
    int32_t n = 0;
    if (!dalv_read_int("Anzahl: ", &n))
        return 1;
    printf("gelesen: %d\n", (int)n);
    return 0;
}
