#!/usr/bin/env bash
# diodelab against diodesolve and against what is known of its comparison:
# its H, R and N blocks are diodesolve's bytes (the numeric cases' circuits
# and 100 random ones), start values that are the defaults change nothing,
# the true root's digits where they are known, its output whole or not at
# all, and diodeplot reading its transcripts (a block missing or one too
# many is refused).
# Usage: diodelab.sh BIN-DIR VERSION
. "$(dirname "$0")/lib.sh"
bin=$(programs "$1")
need_program "$bin/diodelab" "$bin/diodesolve" "$bin/diodeplot"
lab=$bin/diodelab

tool_info "$lab" diodelab "$2"

name="every method in the man page"
# The usage lists the table's methods ("H Halbierung, R Regula falsi,");
# diodelab(1) describes each by its name.
"$lab" --help | sed -n 's/^ \{15\}\([A-Z] [^:]*\)$/\1/p' | tr ',' '\n' | sed 's/^ *[A-Z] //; /^ *$/d' >"$work/names"
[ "$(wc -l <"$work/names")" -ge 9 ] || setup_broken "the usage lists $(wc -l <"$work/names") methods"
while read -r method; do
    grep -qF "$method" "$(dirname "$0")/../man/diodelab.1" || fail "diodelab(1) does not describe $method"
done <"$work/names"

name="H, R and N are diodesolve's"
src=$(dirname "$0")
for c in "$src"/cases/diodesolve/run-*.case; do printf '%b' "$(sed -n 's/^stdin: //p' "$c")"; done >"$work/circuits"
random_circuits 20261210 100 >>"$work/circuits"
split -l 3 -d -a 3 "$work/circuits" "$work/circuit."
for input in "$work"/circuit.*; do
    "$bin/diodesolve" <"$input" >"$work/want" 2>"$work/want.err"
    "$lab" --verfahren HRN <"$input" >"$work/got" 2>"$work/got.err"
    head -c "$(wc -c <"$work/want")" "$work/got" | cmp -s - "$work/want" &&
        cmp -s "$work/want.err" "$work/got.err" || fail "differs for $(tr '\n' ' ' <"$input")"
done

name="default start values"
"$lab" --U 5 --R 1e3 --IS 1e-12 >"$work/default" || fail "status $?"
"$lab" --U 5 --R 1e3 --IS 1e-12 --intervall 0:0.005 >"$work/given" || fail "status $?"
cmp -s "$work/default" "$work/given" || fail "--intervall 0:U/R changes the run"
"$lab" --U 5 --R 1e3 --IS 1e-12 --x0 0.005 >"$work/given" || fail "status $?"
cmp -s "$work/default" "$work/given" || fail "--x0 U/R changes the run"
"$lab" --U 5 --R 1e3 --IS 1e-12 --intervall 0:0.01 --verfahren HN >"$work/given" || fail "status $?"
grep -q '^H Pass    1    I=0.005 ' "$work/given" || fail "bisection does not start from [0, 0.01]"
grep -q '^N Pass    1 .* Delta=5.59867$' "$work/given" || fail "Newton does not start from B = 0.01"

name="the true root"
# root U R I_S TEXT: the comparison holds the line TEXT.
root() { "$lab" --U "$1" --R "$2" --IS "$3" --verfahren HS | grep -qxF "$4" || fail "$1 V, $2 Ohm, $3 A: no '$4'"; }
root 5 1e3 1e-12 'Wurzel I* = 0.0044225405162153066 A'
root 5 1e3 1e-12 'Wurzel I* auf 40 Stellen: 0.004422540516215306515656183140494418163344 A'
root 0.7 100 1e-14 'Wurzel I* auf 40 Stellen: 0.0005636638911576301176948215042640254709802 A'
root 0 1e3 1e-12 'Wurzel I* = 0 A'
root 5 0 1e-12 'Wurzel I*: keine'
root 5 1e3 0 'Wurzel I*: keine'
root nan 1e3 1e-12 'Wurzel I*: keine'
# The secant method ends on the double nearest I* at 0.7 V: within half an ulp.
"$lab" --U 0.7 --R 100 --IS 1e-14 --verfahren S | awk '/^S Sekantenverfahren / {
    sub(/.*Abstand +/, ""); d = $1 + 0; ok = d >= -0.5 && d <= 0.5 } END { exit !ok }' ||
    fail "the secant method does not end within half an ulp of I*"

name="output"
echo old >"$work/out"
"$lab" --verfahren X -o "$work/out" 2>/dev/null && fail "accepted --verfahren X"
[ "$(cat "$work/out")" = old ] || fail "a usage error wrote to -o"
"$lab" --U 5 --R 1e3 --IS 1e-12 -o "$work/out" || fail "status $?"
cmp -s "$work/out" "$work/default" || fail "-o FILE differs from standard output"
"$lab" --U 5 --R 1e3 --IS 1e-12 >/dev/full 2>"$work/err" && fail "lost output: status 0"
[ "$(cat "$work/err")" = "FEHLER: Schreibfehler bei der Ausgabe!" ] || fail "lost output: $(cat "$work/err")"
printf '5\nabc\n' | "$lab" >"$work/got" 2>"$work/err" || fail "a refused answer: status $?"
[ "$(cat "$work/err")" = 'FEHLER: Kein Gleitkomma-Wert: "abc"!' ] || fail "a refused answer: $(cat "$work/err")"
grep -q Pass "$work/got" && fail "a refused answer: the methods ran"

name="diodeplot reads its transcripts"
COLUMNS=80 "$bin/diodeplot" --text <"$work/default" >"$work/chart" 2>"$work/err" ||
    [ $? = 2 ] || fail "diodeplot refuses it: $(cat "$work/err")" # 2: no gnuplot
"$lab" --U 5 --R 1e3 --IS 1e-12 --verfahren BGS >"$work/some"
sed '/^G Pass/d' "$work/some" | awk 'NF || !blank { print } { blank = !NF }' >"$work/cut"
"$bin/diodeplot" --text <"$work/cut" >/dev/null 2>"$work/err"
grep -qF 'Der Block von Newton mit Intervall fehlt' "$work/err" || fail "a block missing: $(cat "$work/err")"
sed '/^Wurzel I\*/,$d' "$work/some" >"$work/cut"
"$bin/diodeplot" --text <"$work/cut" >/dev/null 2>"$work/err"
grep -qF 'gehoert nicht zu diodesolve' "$work/err" || fail "no comparison: $(cat "$work/err")"
finish
