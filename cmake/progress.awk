# make run's progress: reads the build's output and, once it compiles or
# links anything, shows one line on a terminal (standard error), "make run:
# building (log: LOG) 42%", rewritten as the percentage grows and ended by a
# line feed. An up-to-date tree shows nothing. Set logfile with -v.
/^\[ *[0-9]+%\] (Building|Linking)/ {
    percent = $0
    sub(/^\[ */, "", percent)
    sub(/%\].*/, "", percent)
    printf "\rmake run: building (log: %s) %3d%%", logfile, percent
    shown = 1
    fflush()
}
END { if (shown) print "" }
