// The exit statuses of the project's programs, the same in every one of them.
#ifndef COMMON_STATUS_H_
#define COMMON_STATUS_H_

enum exit_status {
    exit_ok = 0,             // everything asked for was done
    exit_failure = 1,        // lost output, unreadable or broken input
    exit_no_gnuplot = 2,     // gnuplot cannot be found or started
    exit_gnuplot_failed = 3, // gnuplot ran and failed, or drew nothing
    exit_usage = 64          // a bad command line (sysexits' EX_USAGE)
};

#endif // COMMON_STATUS_H_
