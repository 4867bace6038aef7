// Benchmark of the map engine: circuits per second for an N x N map of the
// default region, first as a plain loop that runs the three methods one
// circuit after the other, then by the engine on one thread and on all; the
// results must agree bit for bit. With a diodemap program given, also the
// peak memory of a 4000 x 4000 map drawn by it, and the cost of -o FILE. With
// --check, no timing: only the bitwise comparison, over several small regions.
// Usage: diode_map_bench [N [DIODEMAP]] | --check
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
#include "solver/methods.h"

extern char **environ;

static double now()
{
    timespec t;
    clock_gettime(CLOCK_MONOTONIC, &t);
    return static_cast<double>(t.tv_sec) +
           1e-9 * static_cast<double>(t.tv_nsec);
}

// Folds an outcome into a running checksum (FNV-1a over its bytes).
static void fold(unsigned long long *sum, unsigned long passes, int repeat,
                 double last)
{
    unsigned char bytes[sizeof last + 2];
    memcpy(bytes, &last, sizeof last);
    bytes[sizeof last] = static_cast<unsigned char>(passes);
    bytes[sizeof last + 1] = static_cast<unsigned char>(repeat);
    for (unsigned char b : bytes)
        *sum = (*sum ^ b) * 1099511628211ULL;
}

struct folding {
    unsigned long long sum;
    int width;
};

static int fold_row(int y, const map_cell *cells, void *context)
{
    (void)y;
    folding *f = static_cast<folding *>(context);
    for (int x = 0; x < f->width; ++x)
        for (const method_outcome &o : cells[x].method)
            fold(&f->sum, o.passes, o.repeat, o.last);
    return exit_ok;
}

// The plain way: each circuit through the three methods, one after the
// other, the values of the axes computed once.
static unsigned long long plain_loop(const map_spec *s)
{
    unsigned long long sum = 14695981039346656037ULL;
    void (*const methods[])(double, double, double, pass_hook, void *,
                            method_end *) = {halbierung, regula_falsi, newton};
    static double xs[map_max_points];
    for (int x = 0; x < s->range[s->x].points; ++x)
        xs[x] = range_value(&s->range[s->x], x);
    double v[map_quantities];
    for (int y = 0; y < s->range[s->y].points; ++y) {
        row_values(s, y, v);
        for (int x = 0; x < s->range[s->x].points; ++x) {
            v[s->x] = xs[x];
            for (auto method : methods) {
                method_end end;
                method(v[0], v[1], v[2], nullptr, nullptr, &end);
                fold(&sum, end.passes, end.repeat, end.last);
            }
        }
    }
    return sum;
}

// Runs the program in args with standard output to out_path and waits for
// it. Returns the seconds it took, or -1 when it failed; its peak resident
// memory (the largest of it and its children) in KiB in *kib.
static double run_tool(char *const args[], const char *out_path, long *kib)
{
    posix_spawn_file_actions_t files;
    posix_spawn_file_actions_init(&files);
    posix_spawn_file_actions_addopen(&files, 1, out_path,
                                     O_WRONLY | O_CREAT | O_TRUNC, 0644);
    double start = now();
    pid_t pid;
    int error = posix_spawn(&pid, args[0], &files, nullptr, args, environ);
    posix_spawn_file_actions_destroy(&files);
    int status;
    rusage usage;
    if (error != 0 || wait4(pid, &status, 0, &usage) != pid ||
        !WIFEXITED(status) || WEXITSTATUS(status) != 0)
        return -1;
    *kib = usage.ru_maxrss;
    return now() - start;
}

static int by_value(const void *a, const void *b)
{
    double x = *static_cast<const double *>(a);
    double y = *static_cast<const double *>(b);
    return (x > y) - (x < y);
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
    qsort(t_file, 3, sizeof t_file[0], by_value);
    qsort(t_stdout, 3, sizeof t_stdout[0], by_value);
    printf("  diodemap --csv --grid 1000x1000 -o DATEI: %.2f s, > DATEI: %.2f "
           "s (%.3f x)\n",
           t_file[1], t_stdout[1], t_file[1] / t_stdout[1]);
}

// Times the engine on threads; returns the seconds, the checksum in *sum.
static double engine(const map_spec *s, int threads, unsigned long long *sum)
{
    folding f = {14695981039346656037ULL, s->range[s->x].points};
    double start = now();
    if (map_run(s, threads, fold_row, &f) != 0) {
        fputs("diode_map_bench: the map did not run\n", stderr);
        exit(exit_failure);
    }
    *sum = f.sum;
    return now() - start;
}

// The engine against the plain loop on 1, 2 and 3 threads, over regions
// whose widths are no multiple of the lanes and which reach every ending:
// repeats, the limit with a finite estimate and with nan (I_S = 0, U < 0).
static int check()
{
    static const map_spec specs[] = {
        {{{5.0, 5.0, 1}, {1.0, 1e7, 37}, {1e-16, 1e-6, 11}},
         quantity_r,
         quantity_i_s},
        {{{0.1, 1000.0, 61}, {1e3, 1e3, 1}, {1e-16, 1e-6, 7}},
         quantity_u,
         quantity_i_s},
        {{{-3.0, 12.0, 2}, {0.0, 1e4, 13}, {1e-12, 1e-12, 1}},
         quantity_u,
         quantity_r},
        {{{5.0, 5.0, 1}, {1.0, 1e7, 9}, {0.0, 1e-6, 5}},
         quantity_r,
         quantity_i_s}};
    int failed = 0;
    for (const map_spec &s : specs) {
        unsigned long long plain = plain_loop(&s);
        for (int threads = 1; threads <= 3; ++threads) {
            unsigned long long sum = 0;
            engine(&s, threads, &sum);
            int same = sum == plain;
            printf("%s: %d x %d, %d Thread(s)\n", same ? "gleich" : "FEHLER",
                   s.range[s.x].points, s.range[s.y].points, threads);
            failed |= !same;
        }
    }
    return failed ? exit_failure : exit_ok;
}

int main(int argc, char **argv)
{
    setvbuf(stdout, nullptr, _IOLBF, 0);
    if (argc > 1 && strcmp(argv[1], "--check") == 0)
        return check();
    int n = argc > 1 ? atoi(argv[1]) : 1000;
    if (n < 2 || n > map_max_points) {
        fputs("Aufruf: diode_map_bench [N [DIODEMAP]] | --check, N von 2 bis "
              "4000\n",
              stderr);
        return exit_usage;
    }
    long cpus = sysconf(_SC_NPROCESSORS_ONLN);
    int all = cpus > 1 ? static_cast<int>(cpus) : 1;
    map_spec s = {{{5.0, 5.0, 1}, {1.0, 1e7, n}, {1e-16, 1e-6, n}},
                  quantity_r,
                  quantity_i_s};
    double circuits = static_cast<double>(n) * n;
    printf("Karte %d x %d (U = 5 V, R 1 bis 1e7 Ohm, I_S 1e-16 bis 1e-6 A), "
           "je Punkt alle drei Verfahren\n",
           n, n);

    double start = now();
    unsigned long long plain = plain_loop(&s);
    double t_plain = now() - start;
    printf("  einfache Schleife, 1 Thread:   %10.0f Schaltungen/s\n",
           circuits / t_plain);

    unsigned long long one = 0;
    unsigned long long many = 0;
    double t_one = engine(&s, 1, &one);
    printf("  diodemap, 1 Thread:            %10.0f Schaltungen/s  (%.2f x "
           "die Zeit der Schleife)\n",
           circuits / t_one, t_one / t_plain);
    double t_all = engine(&s, all, &many);
    printf("  diodemap, %d Threads:           %10.0f Schaltungen/s  (%.2f x "
           "der Takt von 1 Thread)\n",
           all, circuits / t_all, t_one / t_all);
    if (one != plain || many != plain) {
        puts("FEHLER: die Ergebnisse weichen von der einfachen Schleife ab");
        return exit_failure;
    }
    puts("  Ergebnisse: bitgleich mit der einfachen Schleife");

    if (argc > 2) {
        // wait4 counts the largest of diodemap and its gnuplot.
        static const char *const kinds[] = {"--csv", "--text", "--png"};
        for (const char *kind : kinds) {
            char *args[] = {argv[2],
                            const_cast<char *>("--grid"),
                            const_cast<char *>("4000x4000"),
                            const_cast<char *>(kind),
                            const_cast<char *>("-o"),
                            const_cast<char *>("/dev/null"),
                            nullptr};
            long kib = -1;
            run_tool(args, "/dev/null", &kib);
            printf("  diodemap --grid 4000x4000 %-6s: hoechstens %5.1f MiB "
                   "Speicher%s\n",
                   kind, static_cast<double>(kib) / 1024.0,
                   strcmp(kind, "--png") == 0 ? " (mit gnuplot)" : "");
        }
        file_cost(argv[2]);
    }
    return exit_ok;
}
