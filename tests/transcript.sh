#!/usr/bin/env bash
# Runs one transcript case: feeds its standard input to a program and compares
# standard output, standard error, their interleaving and the exit status with
# the case, byte for byte.
#
# Usage: transcript.sh CASE-FILE BIN-DIR
# A case file holds lines "key: value"; lines starting with # are comments.
#   program      the program in BIN-DIR to run
#   args         its arguments, split at spaces; 'single' or "double" quotes
#                keep a word together ('' is an empty argument), and a
#                backslash takes the next character as it is
#   env          NAME=VALUE put into its environment (the key may repeat)
#   stdin        bytes fed to standard input (none: /dev/null)
#   stdin-from   a path opened as standard input instead (such as /, which
#                cannot be read), or closed: standard input is closed (<&-)
#   stdout       bytes expected on standard output (none: empty)
#   stdout-file  a file, beside the case, holding the expected standard output
#   stderr       bytes expected on standard error (none: empty)
#   combined     bytes expected when standard output and error share one pipe
#   status       expected exit status (none: 0)
#   stdout-to    full: standard output goes to /dev/full; closed: it is
#                closed (>&-); standard output is then not compared.
#                terminal: it is a terminal; stdout is what the terminal shows
#   default-nan  yes: every nan the program prints (on any stream) is made by arithmetic, so
#                its sign is the processor's: -nan on x86-64, nan where the
#                default NaN is positive (aarch64). DALV_DEFAULT_NAN names
#                the platform's spelling; expected -nan is read as that.
# In the expected streams, {VERFAHREN} stands for the letters of all the
# methods in the table's order, as diodemap's usage lists them.
# A value is decoded like printf %b (\n, \r, \t, \v, \f, \\, \0NNN, \xHH); a
# key given again appends to its value. A space that ends a value is \x20.
# Exit status: 0 when the case passes, 1 when the program is wrong, 2 when the
# case or its setup is broken. TRANSCRIPT_WRAPPER may name a command (such as
# valgrind) to run the program under.
. "$(dirname "$0")/lib.sh"

[ $# -eq 2 ] || setup_broken "usage: transcript.sh CASE-FILE BIN-DIR"
case_file=$1
bin_dir=$2
[ -r "$case_file" ] || setup_broken "cannot read $case_file"
mkdir "$work/want" "$work/got"

program= args=() envs=() status=0 have_combined=0 stdout_to= input= default_nan=no
while IFS= read -r line || [ -n "$line" ]; do
    case $line in '' | '#'*) continue ;; esac
    key=${line%%:*}
    value=${line#*:}
    value=${value# }
    case $key in
    program) program=$value ;;
    args)
        printf '%s' "$value" | xargs -r printf '%s\0' >"$work/args" ||
            setup_broken "$case_file: an args quote is not closed"
        mapfile -d '' -t args <"$work/args" ;;
    env) envs+=("$value") ;;
    status) status=$value ;;
    stdout-to) stdout_to=$value ;;
    stdin-from) input=$value ;;
    default-nan) default_nan=$value ;;
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
exe=$(programs "$bin_dir")/$program
need_program "$exe"
[ -n "$input" ] || input=$work/want/stdin
[ -e "$input" ] || [ "$input" = closed ] || input=/dev/null
touch "$work/want/stdout" "$work/want/stderr"
if cat "$work/want/"* | grep -q '{VERFAHREN}'; then
    letters=$(method_letters "$(programs "$bin_dir")")
    [ -n "$letters" ] || setup_broken "diodemap names no methods"
    sed -i "s/{VERFAHREN}/$letters/g" "$work/want/"*
fi
if [ "$default_nan" = yes ] && [ "${DALV_DEFAULT_NAN:--nan}" != -nan ]; then
    for stream in stdout stderr combined; do
        [ -f "$work/want/$stream" ] && sed -i "s/-nan/$DALV_DEFAULT_NAN/g" "$work/want/$stream"
    done
fi

command=(env "${envs[@]}")
if [ -n "${TRANSCRIPT_WRAPPER:-}" ]; then
    read -ra wrapper <<<"$TRANSCRIPT_WRAPPER"
    command -v "${wrapper[0]}" >/dev/null ||
        skip "no ${wrapper[0]} (Debian: ${wrapper[0]}) to run the case under"
    command+=("${wrapper[@]}")
fi
command+=("$exe" "${args[@]}")

feed() { # feed COMMAND...: with the case's standard input
    if [ "$input" = closed ]; then "$@" <&-; else "$@" <"$input"; fi
}
run() { # run STDOUT-FILE STDERR-FILE
    case $stdout_to in
    '') feed "${command[@]}" >"$1" 2>"$2" ;;
    full) feed "${command[@]}" >/dev/full 2>"$2" ;;
    closed) feed "${command[@]}" 2>"$2" >&- ;;
    terminal) on_terminal 80 "${command[@]}" <"$input" >"$1" 2>"$2" ;;
    *) setup_broken "$case_file: stdout-to is full, closed or terminal" ;;
    esac
}
touch "$work/got/stdout"
run "$work/got/stdout" "$work/got/stderr"
got_status=$?
if [ "$have_combined" = 1 ]; then
    [ -z "$stdout_to" ] || setup_broken "$case_file: combined needs stdout"
    feed "${command[@]}" 2>&1 | cat >"$work/got/combined"
fi

compare() { # compare STREAM: show both sides visibly (sed -n 'l 0') when they differ
    cmp -s "$work/want/$1" "$work/got/$1" && return
    fail "$1 differs (expected, actual; \$ marks a line end):"
    diff -u --label expected --label actual \
        <(sed -n 'l 0' "$work/want/$1") <(sed -n 'l 0' "$work/got/$1")
}
compare stdout
compare stderr
[ "$have_combined" = 1 ] && compare combined
[ "$got_status" = "$status" ] || fail "exit status: expected $status, actual $got_status"
finish
