// Benchmark of the map engine on an N x N map of the default region, each
// figure the median (and minimum) of three runs: the bound that the map's
// logarithms set (their number times this machine's time per logarithm),
// a plain loop that runs the three methods one circuit after the other, the
// engine on 1 and 2 threads, whose results must agree with the loop bit for
// bit, and, with a diodemap program given, diodemap end to end (--text on
// one thread, --csv on one and two), its peak memory on a 4000 x 4000 map
// and the cost of -o FILE. With --check, no timing: only the bitwise
// comparison with the loop, over several small regions.
// Usage: diode_map_bench [N [DIODEMAP]] | --check
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include "common/status.h"
#include "map/engine.h"
#include "map/reference.h"
#include "solver/choose.h"
#include "solver/equation.h"

extern char **environ;

// Runs the program in args with standard output to out_path and waits for
// it. Returns the seconds it took, or -1 when it failed; its peak resident
// memory (the largest of it and its children) in KiB in *kib.
static double run_tool(char *const args[], const char *out_path, long *kib)
{
    posix_spawn_file_actions_t files;
    posix_spawn_file_actions_init(&files);
    posix_spawn_file_actions_addopen(&files, 1, out_path,
                                     O_WRONLY | O_CREAT | O_TRUNC, 0644);
    double start = bench_now();
    pid_t pid;
    int error = posix_spawn(&pid, args[0], &files, nullptr, args, environ);
    posix_spawn_file_actions_destroy(&files);
    int status;
    rusage usage;
    if (error != 0 || wait4(pid, &status, 0, &usage) != pid ||
        !WIFEXITED(status) || WEXITSTATUS(status) != 0)
        return -1;
    *kib = usage.ru_maxrss;
    return bench_now() - start;
}

struct timing {
    double min, median;
};

// The minimum and median of three times.
static timing of_three(double a, double b, double c)
{
    double lo = a < b ? (a < c ? a : c) : (b < c ? b : c);
    double hi = a > b ? (a > c ? a : c) : (b > c ? b : c);
    return {lo, a + b + c - lo - hi};
}

// A 1000 x 1000 CSV with -o FILE against the same to standard output
// redirected to a file beside it: medians of three runs each, alternating.
static void file_cost(char *program)
{
    const char *tmp = getenv("TMPDIR") ? getenv("TMPDIR") : "/tmp";
    char file[4096];
    snprintf(file, sizeof file, "%s/diode_map_bench.csv", tmp);
    char grid[] = "1000x1000";
    char *to_file[] = {
        program, const_cast<char *>("--csv"), const_cast<char *>("--grid"),
        grid,    const_cast<char *>("-o"),    file,
        nullptr};
    char *to_stdout[] = {program, const_cast<char *>("--csv"),
                         const_cast<char *>("--grid"), grid, nullptr};
    double t_file[3], t_stdout[3];
    long kib;
    for (int k = 0; k < 3; ++k) {
        t_file[k] = run_tool(to_file, "/dev/null", &kib);
        t_stdout[k] = run_tool(to_stdout, file, &kib);
    }
    unlink(file);
    timing a = of_three(t_file[0], t_file[1], t_file[2]);
    timing b = of_three(t_stdout[0], t_stdout[1], t_stdout[2]);
    printf("  --csv --grid 1000x1000 -o DATEI (in %s): %.2f s, > DATEI: %.2f "
           "s (%.3f x)\n",
           tmp, a.median, b.median, a.median / b.median);
}

// This machine's seconds per logarithm on arguments like the map's: I / I_S
// + 1 at the first midpoint of every circuit, as independent calls (nothing
// waits for a result), the best of three rounds.
static double seconds_per_log(const map_spec *s)
{
    const map_range *xr = &s->range[s->x];
    size_t n = static_cast<size_t>(xr->points) *
               static_cast<size_t>(s->range[s->y].points);
    double *args = static_cast<double *>(malloc(n * sizeof(double)));
    if (args == nullptr)
        return 0.0;
    size_t k = 0;
    double v[map_quantities];
    for (int y = 0; y < s->range[s->y].points; ++y) {
        row_values(s, y, v);
        for (int x = 0; x < xr->points; ++x) {
            v[s->x] = range_value(xr, x);
            double top = v[quantity_u] / v[quantity_r];
            args[k++] = f_log_argument(top / 2.0, v[quantity_i_s]);
        }
    }
    double best = HUGE_VAL;
    volatile double keep = 0.0;
    for (int round = 0; round < 3; ++round) {
        double sums[4] = {0.0, 0.0, 0.0, 0.0};
        double start = bench_now();
        for (k = 0; k < n; ++k)
            sums[k % 4] += std::log(args[k]);
        double t = bench_now() - start;
        best = t < best ? t : best;
        keep = keep + sums[0] + sums[1] + sums[2] + sums[3];
    }
    free(args);
    return best / static_cast<double>(n);
}

// diodemap end to end, three times: --threads T --grid NxN FORMAT
// --verfahren METHODS -o /dev/null.
static timing tool_times(char *program, int n, const char *format, int threads,
                         const char *methods = map_default_methods)
{
    char grid[32], count[16];
    snprintf(grid, sizeof grid, "%dx%d", n, n);
    snprintf(count, sizeof count, "%d", threads);
    char *args[] = {program,
                    const_cast<char *>("--grid"),
                    grid,
                    const_cast<char *>(format),
                    const_cast<char *>("--threads"),
                    count,
                    const_cast<char *>("--verfahren"),
                    const_cast<char *>(methods),
                    const_cast<char *>("-o"),
                    const_cast<char *>("/dev/null"),
                    nullptr};
    long kib;
    double t[3];
    for (double &one : t)
        one = run_tool(args, "/dev/null", &kib);
    return of_three(t[0], t[1], t[2]);
}

static void show(const char *what, timing t, double unit, const char *per)
{
    printf("  %-34s %6.3f s (min %6.3f)  %5.2f x %s\n", what, t.median, t.min,
           t.median / unit, per);
}

// diodemap's peak memory on a 4000 x 4000 map, per output kind. wait4
// counts the largest of diodemap and its gnuplot, and of the memory this
// process held when it started them (an exec records the old image's
// peak), so it runs first, before this process holds any map.
static void peak_memory(char *program)
{
    static const char *const kinds[] = {"--csv", "--text", "--png", "--csv"};
    char letters[method_count + 1];
    method_letters(letters);
    for (int k = 0; k < 4; ++k) {
        const char *kind = kinds[k];
        int all = k == 3; // the last: with all the methods
        char *args[] = {program,
                        const_cast<char *>("--grid"),
                        const_cast<char *>("4000x4000"),
                        const_cast<char *>(kind),
                        const_cast<char *>("-o"),
                        const_cast<char *>("/dev/null"),
                        const_cast<char *>("--verfahren"),
                        all ? letters : const_cast<char *>(map_default_methods),
                        nullptr};
        long kib = -1;
        run_tool(args, "/dev/null", &kib);
        printf("  diodemap --grid 4000x4000 %-6s%s%s: hoechstens %5.1f MiB "
               "Speicher%s\n",
               kind, all ? " --verfahren " : "", all ? letters : "",
               static_cast<double>(kib) / 1024.0,
               strcmp(kind, "--png") == 0 ? " (mit gnuplot)" : "");
    }
}

// All the methods of the table beside the three, end to end (--text), on
// one thread and two: the target is at most 3 times the three's time per
// method beyond them. Then diodelab on one circuit with all of them, the
// median of 21 runs (target 10 ms).
static void remedies(char *program, int n)
{
    char letters[method_count + 1];
    method_letters(letters);
    for (int threads = 1; threads <= 2; ++threads) {
        timing three = tool_times(program, n, "--text", threads);
        timing all = tool_times(program, n, "--text", threads, letters);
        printf("  diodemap --verfahren %s, %d Thread(s): %.3f s, %.2f x "
               "die drei Verfahren (%.3f s; Ziel: hoechstens %.1f x)\n",
               letters, threads, all.median, all.median / three.median,
               three.median, static_cast<double>(method_count) / 3.0);
    }
    char lab[4096];
    snprintf(lab, sizeof lab, "%s", program);
    char *slash = strrchr(lab, '/');
    snprintf(slash ? slash + 1 : lab,
             sizeof lab - static_cast<size_t>(slash ? slash + 1 - lab : 0),
             "diodelab");
    char *args[] = {lab,
                    const_cast<char *>("--U"),
                    const_cast<char *>("0.7"),
                    const_cast<char *>("--R"),
                    const_cast<char *>("100"),
                    const_cast<char *>("--IS"),
                    const_cast<char *>("1e-14"),
                    nullptr};
    double t[21];
    long kib;
    for (double &one : t)
        one = run_tool(args, "/dev/null", &kib);
    std::sort(t, t + 21);
    printf("  diodelab, eine Schaltung, alle %d Verfahren: %.1f ms (Median "
           "aus 21, mit Programmstart; Ziel: unter 10 ms)\n",
           method_count, t[10] * 1e3);
}

int main(int argc, char **argv)
{
    setvbuf(stdout, nullptr, _IOLBF, 0);
    if (argc > 1 && strcmp(argv[1], "--check") == 0)
        return bench_check();
    int n = argc > 1 ? atoi(argv[1]) : 1000;
    if (n < 2 || n > map_max_points) {
        fputs("Aufruf: diode_map_bench [N [DIODEMAP]] | --check, N von 2 bis "
              "4000\n",
              stderr);
        return exit_usage;
    }
    map_spec s = {{{5.0, 5.0, 1}, {1.0, 1e7, n}, {1e-16, 1e-6, n}},
                  quantity_r,
                  quantity_i_s,
                  {},
                  0,
                  colour_passes};
    method_choose("--verfahren", map_default_methods, s.method, &s.methods);
    if (argc > 2)
        peak_memory(argv[2]);
    printf("Karte %d x %d (U = 5 V, R 1 bis 1e7 Ohm, I_S 1e-16 bis 1e-6 A), "
           "je Punkt alle drei Verfahren; Mediane aus 3 Laeufen\n",
           n, n);
    double t[3];
    unsigned long long plain = 0, sum = 0, logs = 0;
    for (double &one : t) {
        double start = bench_now();
        plain = bench_plain_loop(&s);
        one = bench_now() - start;
    }
    timing loop = of_three(t[0], t[1], t[2]);
    int same = 1;
    timing threads[2];
    for (int k = 0; k < 2; ++k) {
        for (double &one : t) {
            one = bench_engine(&s, k + 1, &sum, &logs);
            same &= sum == plain;
        }
        threads[k] = of_three(t[0], t[1], t[2]);
    }
    double per_log = seconds_per_log(&s);
    double bound = static_cast<double>(logs) * per_log;
    printf("  Logarithmen: %llu (%.1f je Schaltung), %.2f ns je log: die "
           "Grenze fuer 1 Thread ist %.3f s\n",
           logs, static_cast<double>(logs) / n / n, per_log * 1e9, bound);
    show("einfache Schleife, 1 Thread", loop, bound, "die Grenze");
    show("Engine, 1 Thread", threads[0], bound, "die Grenze");
    show("Engine, 2 Threads", threads[1], bound / 2, "die Grenze fuer 2");
    printf("  Engine, 1 Thread: %.2f x die Zeit der Schleife; 2 Threads: "
           "%.2f x so schnell wie 1\n",
           threads[0].median / loop.median,
           threads[0].median / threads[1].median);
    if (!same) {
        puts("FEHLER: die Ergebnisse weichen von der einfachen Schleife ab");
        return exit_failure;
    }
    puts("  Ergebnisse: bitgleich mit der einfachen Schleife");

    if (argc > 2) {
        timing text = tool_times(argv[2], n, "--text", 1);
        timing csv1 = tool_times(argv[2], n, "--csv", 1);
        timing csv2 = tool_times(argv[2], n, "--csv", 2);
        show("diodemap --text, 1 Thread", text, loop.median, "die Schleife");
        show("diodemap --csv -o /dev/null, 1 Thr.", csv1, loop.median,
             "die Schleife");
        show("diodemap --csv -o /dev/null, 2 Thr.", csv2, loop.median,
             "die Schleife");
        printf("  CSV: 2 Threads %.2f x so schnell wie 1\n",
               csv1.median / csv2.median);
        file_cost(argv[2]);
        remedies(argv[2], n);
    }
    return exit_ok;
}
