// diodesolve: the current I of a voltage source U driving a resistor R in
// series with a diode of saturation current I_S, found three times over.
//
//   f(I)    = (U_T * ln(I / I_S + 1) + R * I) - U,   U_T = 0.026 V
//   f'(I)   = U_T / (I + I_S) + R
//   bisection:     m  = (lo + hi) / 2;  f(m) <= 0 ? lo = m : hi = m
//   regula falsi:  r  = (a * f(b) - b * f(a)) / (f(b) - f(a));
//                  f(r) < 0 ? a = r : b = r
//   Newton:        x' = x - f(x) / f'(x)
//
// Every method starts from the interval [0, U / R] (Newton from U / R),
// prints one line per pass and stops when its estimate repeats exactly or
// after 200 passes. Each step is one rounded binary64 operation in the order
// written above, so the printed digits and pass counts are exact.
#include <cmath>
#include <cstdio>

#include "dalv.h"
#include "finish.h"
#include "report.h"

static_assert(sizeof(unsigned long) == 8, "the pass counter has 64 bits");

static const double thermal_voltage = 0.026; // U_T in volts

// Residual of the mesh equation at current i, in volts.
static double f(double u, double r, double i_s, double i)
{
    double t = r * i;
    double q = i / i_s;
    double a = q + 1.0;
    double l = log(a);
    double ul = thermal_voltage * l;
    double sum = ul + t;
    return sum - u;
}

// Slope of f with respect to i, in ohms; u does not enter it.
static double dfdx(double u, double r, double i_s, double i)
{
    (void)u;
    double s = i + i_s;
    double q = thermal_voltage / s;
    return q + r;
}

// Pass n has produced estimate next after prev: is the method done?
// NaN never equals itself, so a NaN estimate runs on to the pass limit.
static int stop_after(unsigned long n, double next, double prev)
{
    return (n > 1 && next == prev) || n == report_pass_limit;
}

static void halbierung(double u, double r, double i_s)
{
    double lo = 0.0;
    double hi = u / r;
    double prev = 0.0;
    for (unsigned long n = 1;; ++n) {
        double sum = lo + hi;
        double m = sum / 2.0;
        double d = f(u, r, i_s, m);
        if (d <= 0.0)
            lo = m;
        else
            hi = m;
        report_line line = {method_bisection, n, m, d, 0.0, 0.0};
        report_print(stdout, &line);
        if (stop_after(n, m, prev))
            break;
        prev = m;
    }
    putchar('\n');
}

static void regula_falsi(double u, double r, double i_s)
{
    double a = 0.0;
    double b = u / r;
    double fa = f(u, r, i_s, a);
    double fb = f(u, r, i_s, b);
    double prev = 0.0;
    for (unsigned long n = 1;; ++n) {
        double p1 = a * fb;
        double p2 = b * fa;
        double num = p1 - p2;
        double den = fb - fa;
        double x = num / den;
        double d = f(u, r, i_s, x);
        if (d < 0.0) {
            a = x;
            fa = d;
        } else {
            b = x;
            fb = d;
        }
        report_line line = {method_regula_falsi, n, x, d, a, b};
        report_print(stdout, &line);
        if (stop_after(n, x, prev))
            break;
        prev = x;
    }
    putchar('\n');
}

static void newton(double u, double r, double i_s)
{
    double x = u / r;
    for (unsigned long n = 1;; ++n) {
        double d = f(u, r, i_s, x);
        double s = dfdx(u, r, i_s, x);
        double step = d / s;
        double next = x - step;
        report_line line = {method_newton, n, next, d, 0.0, 0.0};
        report_print(stdout, &line);
        if (stop_after(n, next, x))
            break;
        x = next;
    }
    putchar('\n');
}

// Exit status of a run: lost output is a failure, and so is standard input
// that could not be read (its diagnostic is already written); end of input,
// a blank line or a rejected answer are not.
static int finish()
{
    int status = finish_output(stdout);
    return ferror(stdin) ? 1 : status;
}

int main()
{
    double u = 0.0;
    double r = 0.0;
    double i_s = 0.0;
    if (!dalv_read_double("Gesamtspannung in V: ", &u))
        return finish();
    if (!dalv_read_double("Widerstand in Ohm: ", &r))
        return finish();
    if (!dalv_read_double("Saettigungsstrom in Ampere: ", &i_s))
        return finish();
    halbierung(u, r, i_s);
    regula_falsi(u, r, i_s);
    newton(u, r, i_s);
    return finish();
}
