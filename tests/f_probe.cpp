// The native f and nextafter, for the page's step view to be checked
// against: reads lines "c U R I_S" (the circuit) and "g X F" (a double of a
// grid and the page's residual there) and answers each g line with
// "g X F F' N": the native f at X and the double above X, as %.17g.
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "solver/equation.h"

int main()
{
    char line[256];
    double c[3] = {0.0, 0.0, 0.0};
    while (fgets(line, sizeof line, stdin) != nullptr) {
        char *p = line + 1;
        if (line[0] == 'c') {
            for (double &v : c)
                v = strtod(p, &p);
        } else if (line[0] == 'g') {
            double x = strtod(p, &p);
            p[strcspn(p, "\n")] = '\0';
            printf("g %.17g%s %.17g %.17g\n", x, p, f(c[0], c[1], c[2], x),
                   std::nextafter(x, HUGE_VAL));
        } else {
            fputs(line, stdout);
        }
    }
    return ferror(stdout) || fflush(stdout) != 0;
}
