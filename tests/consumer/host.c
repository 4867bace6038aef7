/* A program that reads through the shared object built on dalv. */
#include <stdint.h>
#include <stdio.h>

int read_count(int32_t *n);

int main(void)
{
    int32_t n = 0;
    if (!read_count(&n))
        return 1;
    printf("gelesen: %d\n", (int)n);
    return 0;
}
