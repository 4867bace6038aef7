#!/usr/bin/env bash
# The drawing tools under faults: a full disk, file-size and memory limits,
# signals, concurrent writers, a hostile gnuplot. Each row of the table runs
# in a fresh folder holding OLD in every out.* file, and names its setup, its
# command, the exit status it must end with and what must hold afterwards.
# Usage: faults.sh BIN-DIR GROUP
#   GROUP full-disk: the rows that need a small tmpfs (root; else exit 77)
#   GROUP other:     every other row
. "$(dirname "$0")/lib.sh"
bin=$(cd "$(programs "$1")" && pwd) || setup_broken "no folder $1"
group=$2
map=$bin/diodemap plot=$bin/diodeplot
need_program "$map" "$plot" "$bin/diodesolve"
# A row that breaks off leaves its tmpfs mounted: unmount before clean-up.
trap 'umount "$work"/rows/*/small 2>/dev/null; [ "$keep_work" = 1 ] || rm -rf "$work"' EXIT
printf '5\n1e3\n1e-12\n' | "$bin/diodesolve" >"$work/transcript"

# The checks after a row, run in its folder.
old() { # old FILE...: each still holds OLD
    local f
    for f in "$@"; do [ "$(cat "$f" 2>/dev/null)" = OLD ] || fail "$f: not OLD any more"; done
}
clean() { # clean DIR: no file beside those the row made (no temporary left)
    local stray
    stray=$(find "${1:-.}" -maxdepth 1 -name '.*.??????' -print)
    [ -z "$stray" ] || fail "left behind: $stray"
}
gone() { # gone PATTERN: no process whose command line matches
    pgrep -f -- "$1" >/dev/null && fail "still running: $(pgrep -af -- "$1")"
    return 0
}
stderr_has() { grep -q -- "$1" err || fail "stderr lacks '$1': $(head -c 300 err)"; }
fake_gnuplot() { # fake_gnuplot DIR SCRIPT: a gnuplot that runs SCRIPT (sh)
    mkdir -p "$1" && printf '#!/bin/sh\n%s\n' "$2" >"$1/gnuplot" && chmod +x "$1/gnuplot"
}
have() { command -v "$1" >/dev/null || { echo "no $1" >skipped; exit 77; }; }
vm_limit_works() { # a sanitizer's runtime cannot start under a memory limit
    (ulimit -v 80000; "$bin/diodesolve" </dev/null >/dev/null 2>&1) ||
        { echo "no program starts under ulimit -v here" >skipped; exit 77; }
}
fill_disk() { head -c 10M /dev/zero >small/fill 2>/dev/null || true; }

# interrupt SIGNAL COMMAND...: starts COMMAND with every signal at its
# default, sends SIGNAL once it has worked a little, returns its status.
interrupt() {
    local sig=$1
    shift
    env --default-signal "$@" <&0 2>err &
    local pid=$!
    sleep 0.7
    kill -s "$sig" "$pid"
    wait "$pid"
}

# reader_gone COMMAND...: runs COMMAND, SIGPIPE ignored, into a pipe whose
# reader stops after one byte; returns its status (a tool dies by SIGPIPE
# all the same: it sets the signal back to its default).
reader_gone() {
    env --ignore-signal=PIPE "$@" | head -c 1 >/dev/null
    return "${PIPESTATUS[0]}"
}

# row NAME STATUS SETUP COMMAND CHECKS
row() {
    name=${1%% *}
    local status=$2 setup=$3 command=$4 checks=$5 dir="$work/rows/$name"
    mkdir -p "$dir" && cd "$dir" || setup_broken "no folder for $name"
    echo OLD >out.csv && echo OLD >out.txt && echo OLD >out.svg && echo OLD >out.png
    if [ "$group" = full-disk ]; then
        mkdir small && mount -t tmpfs -o size=256k tmpfs small || setup_broken "no tmpfs"
        echo OLD >small/out.csv && echo OLD >small/out.svg && echo OLD >small/target
    fi
    (eval "$setup")
    case $? in
    0) ;;
    77) echo "SKIP [$name]: $(cat skipped)"; cd "$work"; [ "$group" = full-disk ] && umount "$dir/small"; return ;;
    *) setup_broken "[$name] setup: $setup" ;;
    esac
    (eval "$command") >out 2>>err
    local got=$?
    [ "$got" = "$status" ] || fail "status $got, expected $status; stderr: $(head -c 300 err)"
    eval "$checks"
    clean .
    [ "$group" = full-disk ] && { clean small; umount small; }
    cd "$work" || setup_broken "cd"
}

if [ "$group" = full-disk ]; then
    [ "$(id -u)" = 0 ] || skip "not root: no tmpfs for the full-disk rows"
    mkdir "$work/probe" && mount -t tmpfs -o size=64k tmpfs "$work/probe" ||
        skip "no tmpfs can be mounted here: full-disk rows not run"
    umount "$work/probe"
    while IFS='|' read -r n s setup command checks; do
        [ -n "$n" ] && row "$n" "$s" "$setup" "$command" "$checks"
    done <<'TABLE'
csv-full-disk |1|fill_disk|$map --csv --grid 40x40 -o small/out.csv|old small/out.csv
text-full-disk|1|echo OLD >small/out.txt; fill_disk|$map --text --grid 40x40 -o small/out.txt|old small/out.txt
map-svg-full  |1|have gnuplot; fill_disk|$map --svg --grid 40x40 -o small/out.svg|old small/out.svg
plot-svg-full |1|have gnuplot; fill_disk|$plot -o small/out.svg <"$work/transcript"|old small/out.svg
link-to-full  |1|have gnuplot; ln -s small/target link.svg; fill_disk|$map --svg -o link.svg|old small/target; [ "$(readlink link.svg)" = small/target ] || fail "link replaced"
TABLE
    finish
fi

[ "$group" = other ] || setup_broken "group is full-disk or other"
export BIG='--csv --grid 3000x3000 -o out.csv'
while IFS='|' read -r n s setup command checks; do
    [ -n "$n" ] && row "$n" "$s" "$setup" "$command" "$checks"
done <<'TABLE'
sigint-csv     |130|:|interrupt INT $map $BIG|old out.csv
sigterm-csv    |143|:|interrupt TERM $map $BIG|old out.csv
sighup-csv     |129|:|interrupt HUP $map $BIG|old out.csv
sigpipe-csv    |141|:|reader_gone $map --csv --grid 2000x2000|:
sigint-gnuplot |130|fake_gnuplot fake 'cat >/dev/null; exec sleep 31.4159'|PATH="$PWD/fake:$PATH" interrupt INT $plot -o out.svg <"$work/transcript"|old out.svg; gone 'sleep 31.4159'
file-limit     |1|:|(ulimit -f 2; $map --csv --grid 100x100 -o out.csv)|old out.csv; stderr_has Schreibfehler
script-limit   |1|:|(ulimit -f 12288; $map --png --grid 400x400 -o out.png)|old out.png; stderr_has Schreibfehler
memory-limit   |1|vm_limit_works|(ulimit -v 80000; $map --threads 256 --grid 4000x50 --csv -o out.csv)|old out.csv; stderr_has Speicher
gnuplot-fails  |3|fake_gnuplot fake 'cat >/dev/null; exit 1'|PATH="$PWD/fake:$PATH" $map -o out.svg --grid 20x20|old out.svg
gnuplot-floods |3|fake_gnuplot fake 'head -c 300000000 /dev/zero >&2; exit 1'|PATH="$PWD/fake:$PATH" $plot -o out.svg <"$work/transcript"|old out.svg; [ "$(wc -c <err)" -lt 300000 ] || fail "stderr $(wc -c <err) bytes"; stderr_has '\\x00'
no-folder-first|1|:|timeout 1 $map --png --grid 4000x4000 -o /nonexistent/x.png|stderr_has nonexistent
empty-path-dir |0|fake_gnuplot . 'cat >/dev/null; echo FAKE'|PATH=":/nonexistent" $plot -o out.svg <"$work/transcript"|[ "$(cat out.svg)" = FAKE ] || fail "cwd gnuplot not used"
huge-range     |0|have gnuplot|$map --U 0:1e306 --R 1000 -o out.svg && $map --U -1e308:1e308 --R 1000 -o out.svg|grep -q '</svg>' out.svg || fail "no picture"
keeps-mode     |0|chmod 0640 out.csv|$map --csv --grid 4x4 -o out.csv|[ "$(stat -c %a out.csv)" = 640 ] || fail "mode $(stat -c %a out.csv)"
new-file-mode  |0|:|umask 027; $map --csv --grid 4x4 -o new.csv|[ "$(stat -c %a new.csv)" = 640 ] || fail "mode $(stat -c %a new.csv)"
device-as-is   |0|:|$map --csv --grid 4x4 -o /dev/null|[ ! -e /dev/.null.* ] || fail "temporary beside /dev/null"
TABLE

# Two writers of one file: it ends as the whole of one of them.
name=concurrent
cd "$work" && mkdir both && cd both || setup_broken "cd"
"$map" --csv --U 5 --R 1:1e7 --IS 1e-16:1e-6 --grid 300x300 >five.csv
"$map" --csv --U 7 --R 1:1e7 --IS 1e-16:1e-6 --grid 300x300 >seven.csv
"$map" --csv --U 5 --R 1:1e7 --IS 1e-16:1e-6 --grid 300x300 -o same.csv & a=$!
"$map" --csv --U 7 --R 1:1e7 --IS 1e-16:1e-6 --grid 300x300 -o same.csv & b=$!
wait $a || fail "first writer: status $?"
wait $b || fail "second writer: status $?"
cmp -s same.csv five.csv || cmp -s same.csv seven.csv || fail "same.csv mixes both runs"
clean .
finish
