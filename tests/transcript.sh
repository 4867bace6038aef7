#!/usr/bin/env bash
# Runs one transcript case: feeds its standard input to a program and compares
# standard output, standard error, their interleaving and the exit status with
# the case, byte for byte.
#
# Usage: transcript.sh CASE-FILE BIN-DIR
# A case file holds lines "key: value"; lines starting with # are comments.
#   program      the program in BIN-DIR to run
#   args         its arguments, split at spaces
#   stdin        bytes fed to standard input (none: /dev/null)
#   stdout       bytes expected on standard output (none: empty)
#   stdout-file  a file, beside the case, holding the expected standard output
#   stderr       bytes expected on standard error (none: empty)
#   combined     bytes expected when standard output and error share one pipe
#   status       expected exit status (none: 0)
#   stdout-to    full: standard output goes to /dev/full; closed: it is
#                closed (>&-); standard output is then not compared
# A value is decoded like printf %b (\n, \r, \t, \v, \f, \\, \0NNN, \xHH); a
# key given again appends to its value. A space that ends a value is \x20.
# Exit status: 0 when the case passes, 1 when the program is wrong, 2 when the
# case or its setup is broken. TRANSCRIPT_WRAPPER may name a command (such as
# valgrind) to run the program under.
set -u

setup_broken() {
    echo "SETUP: $*" >&2
    exit 2
}

[ $# -eq 2 ] || setup_broken "usage: transcript.sh CASE-FILE BIN-DIR"
case_file=$1
bin_dir=$2
[ -r "$case_file" ] || setup_broken "cannot read $case_file"

work=$(mktemp -d) || setup_broken "no temporary directory"
trap 'rm -rf "$work"' EXIT
mkdir "$work/want" "$work/got"

program= args=() status=0 have_combined=0 stdout_to=
while IFS= read -r line || [ -n "$line" ]; do
    case $line in '' | '#'*) continue ;; esac
    key=${line%%:*}
    value=${line#*:}
    value=${value# }
    case $key in
    program) program=$value ;;
    args) read -ra args <<<"$value" ;;
    status) status=$value ;;
    stdout-to) stdout_to=$value ;;
    stdout-file)
        cat "$(dirname "$case_file")/$value" >>"$work/want/stdout" ||
            setup_broken "cannot read $value" ;;
    stdin | stdout | stderr | combined)
        printf '%b' "$value" >>"$work/want/$key"
        [ "$key" = combined ] && have_combined=1 ;;
    *) setup_broken "$case_file: unknown key '$key'" ;;
    esac
done <"$case_file"

[ -n "$program" ] || setup_broken "$case_file: no program"
exe=$bin_dir/$program
[ -x "$exe" ] || setup_broken "no program $exe"
input=$work/want/stdin
[ -e "$input" ] || input=/dev/null
touch "$work/want/stdout" "$work/want/stderr"

wrapper=()
[ -n "${TRANSCRIPT_WRAPPER:-}" ] && read -ra wrapper <<<"$TRANSCRIPT_WRAPPER"

run() { # run STDOUT-FILE STDERR-FILE
    case $stdout_to in
    '') "${wrapper[@]}" "$exe" "${args[@]}" <"$input" >"$1" 2>"$2" ;;
    full) "${wrapper[@]}" "$exe" "${args[@]}" <"$input" >/dev/full 2>"$2" ;;
    closed) "${wrapper[@]}" "$exe" "${args[@]}" <"$input" 2>"$2" >&- ;;
    *) setup_broken "$case_file: stdout-to is full or closed" ;;
    esac
}
touch "$work/got/stdout"
run "$work/got/stdout" "$work/got/stderr"
got_status=$?
if [ "$have_combined" = 1 ]; then
    "${wrapper[@]}" "$exe" "${args[@]}" <"$input" 2>&1 | cat >"$work/got/combined"
    [ -z "$stdout_to" ] || setup_broken "$case_file: combined needs stdout"
fi

failed=0
compare() { # compare STREAM: show both sides visibly (sed -n 'l 0') when they differ
    cmp -s "$work/want/$1" "$work/got/$1" && return
    failed=1
    echo "--- $1 differs (expected, actual; \$ marks a line end):"
    diff -u --label expected --label actual \
        <(sed -n 'l 0' "$work/want/$1") <(sed -n 'l 0' "$work/got/$1")
}
compare stdout
compare stderr
[ "$have_combined" = 1 ] && compare combined
if [ "$got_status" != "$status" ]; then
    failed=1
    echo "--- exit status: expected $status, actual $got_status"
fi
exit "$failed"
