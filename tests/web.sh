#!/usr/bin/env bash
# diodesolve and the map compiled to WebAssembly must write, byte for byte,
# what the native programs write: every transcript case of diodesolve runs
# against it through the page's own WASI bridge (web/wasi.js) under node,
# then 200 random circuits against the native program; the map's CSV from
# the page's worker pool (web/map.js) on 1, 2 and 3 worker threads over
# three regions against diodemap --csv.
# Brings the wasm preset up to date first.
# Usage: web.sh SOURCE-DIR NATIVE-BIN-DIR   (exit 77: node or the wasm
# toolchain missing)
. "$(dirname "$0")/lib.sh"
src=$1
native=$2/diodesolve
need_program "$native"

need_web "$src"
wasm=$src/build/wasm/bin/diodesolve.wasm

# A folder whose diodesolve is the WebAssembly one.
mkdir "$work/bin"
printf '#!/bin/sh\nexec node %q %q "$@"\n' "$src/tests/web/bridge-run.mjs" "$wasm" \
    >"$work/bin/diodesolve"
chmod +x "$work/bin/diodesolve"

# A lost standard output (full, closed) and a closed standard input are left
# out: the bridge keeps the module's streams in memory, as the page does,
# where they cannot fail.
cases=0
for c in "$src"/tests/cases/diodesolve/*.case; do
    name=${c##*/}
    grep -q '^stdout-to: \(closed\|full\)\|^stdin-from: closed' "$c" && continue
    out=$(bash "$src/tests/transcript.sh" "$c" "$work/bin" 2>&1) || fail "$out"
    cases=$((cases + 1))
done

random_circuits 20261208 200 >"$work/circuits"
# A typed -nan keeps its sign in every answer, as glibc's strtod keeps it.
printf -- '-nan\n1e3\n1e-12\n5\n -NAN(7)\n1e-12\n5\n1e3\n-nan\n' >>"$work/circuits"
split -l 3 -d -a 3 "$work/circuits" "$work/circuit."
for input in "$work"/circuit.*; do
    name=${input##*.}
    "$native" <"$input" >"$work/want.out" 2>"$work/want.err"
    "$work/bin/diodesolve" <"$input" >"$work/got.out" 2>"$work/got.err"
    cmp -s "$work/want.out" "$work/got.out" || fail "stdout differs for $(tr '\n' ' ' <"$input")"
    cmp -s "$work/want.err" "$work/got.err" || fail "stderr differs for $(tr '\n' ' ' <"$input")"
done
# Every numeric transcript, nan and inf ones included: the page's reader
# takes it as native diodeplot does, each pass's I and Delta of the kind
# the text shows.
kinds='match($0, /[HRN] Pass +[0-9]+ +I=[^ ]+ +Delta=[^ ]+/) {
    split(substr($0, RSTART, RLENGTH), w, / +/); i = substr(w[4], 3); d = substr(w[5], 7)
    print w[1], kind(i), kind(d) }
    function kind(v) { sub(/^-nan$/, "nan", v); return v ~ /^-?(nan|inf)$/ || v == "0" ? v : "num" }'
for t in "$src"/tests/cases/diodesolve/numeric/*.out; do
    COLUMNS=80 "$2/diodeplot" --text <"$t" >/dev/null 2>&1 || setup_broken "diodeplot refuses ${t##*/}"
    node "$src/tests/web/transcript-run.mjs" "$src/build/wasm/bin/diodeweb.wasm" <"$t" >"$work/kinds" ||
        fail "the page's reader refuses ${t##*/}: $(cat "$work/kinds")"
    awk "$kinds" "$t" | cmp -s - "$work/kinds" || fail "the page's reader reads ${t##*/} otherwise"
done

# The methods' colours stay apart under simulated colour blindness.
node "$src/tests/web/colours.mjs" "$src/build/wasm/bin/diodeweb.wasm" || fail "method colours"

# The step view's data: every pass of every method of every circuit above
# and of the numeric cases, printed with the report formats, is the block
# of diodelab (diodesolve's for H, R and N); every grid of doubles is
# consecutive doubles with the native residuals, bit for bit.
need_program "$2/f_probe" "$2/diodelab"
for c in "$src"/tests/cases/diodesolve/run-*.case; do
    printf '%b' "$(sed -n 's/^stdin: //p' "$c")"
done >"$work/all-circuits"
cat "$work/circuits" >>"$work/all-circuits"
node "$src/tests/web/steps-run.mjs" "$src/build/wasm/bin/diodeweb.wasm" "$work/all-circuits" \
    "$work/steps.out" "$work/grids" || fail "the step data failed"
split -l 3 -d -a 3 "$work/all-circuits" "$work/every."
for input in "$work"/every.*; do
    "$2/diodelab" <"$input" | sed '1s/^Gesamtspannung in V: Widerstand in Ohm: Saettigungsstrom in Ampere: //' |
        sed '/^Wurzel I\*/,$d'
done >"$work/native-steps.out"
cmp -s "$work/native-steps.out" "$work/steps.out" ||
    fail "the step data differ from diodelab: $(diff "$work/native-steps.out" "$work/steps.out" | head -5)"
"$2/f_probe" <"$work/grids" >"$work/probed" || setup_broken "f_probe"
grids=$(grep -c '^-' "$work/grids")
[ "$grids" -gt 100 ] || setup_broken "only $grids grids of doubles"
# Each g line: the page's X and F, the native f(X) and the double after X
# (a NaN's sign does not survive JavaScript, so nan and -nan agree).
awk '$1 == "g" { f = $3; g = $4; sub(/^-nan$/, "nan", f); sub(/^-nan$/, "nan", g); if (f != g) bad = $0; if (have && after "" != $2 "") bad = $0 " after " after
        after = $5; have = 1; next }
    { have = 0 } bad != "" { print bad; exit 1 }' \
    "$work/probed" >"$work/bad" || fail "the grids are not the native doubles and residuals: $(cat "$work/bad")"

# Regions that reach every ending: the default corner, both signs of U
# (nan and inf), and R and I_S over extreme decades at a low U.
maps=0
for region in "--U 5 --R 1:1e7 --IS 1e-16:1e-6 --grid 61x37" \
    "--U -3:30 --R 1e3 --IS 1e-12:1e-3 --grid 53x29" \
    "--U 0.4 --R 1e-3:1e9 --IS 1e-30:1e2 --grid 47x31"; do
    read -ra words <<<"$region"
    "$2/diodemap" --csv "${words[@]}" >"$work/want.csv" || setup_broken "diodemap $region"
    grep -q ',Grenze,' "$work/want.csv" || setup_broken "no limit reached in $region"
    for workers in 1 2 3; do
        node "$src/tests/web/map-run.mjs" "$src/build/wasm/bin/diodeweb.wasm" "$workers" \
            "$work/got.csv" "${words[@]}" || fail "the page's map failed: $region"
        cmp -s "$work/want.csv" "$work/got.csv" || fail "CSV differs with $workers workers: $region"
        maps=$((maps + 1))
    done
done
# Regions whose numbers print longest (negative, three-digit exponents),
# and random ones that reach the ends of the double range, both signs and
# subnormals, every method: the page's CSV is diodemap's, byte for byte.
# (The values are written as text: awk's own doubles may not reach them.)
letters=$(method_letters "$2")
[ -n "$letters" ] || setup_broken "diodemap names no methods"
awk -v seed=20261210 -v letters="$letters" 'function end_value(   e, v) {
        e = rand()
        if (e < 0.15) v = "1.7976931348623157e308"
        else if (e < 0.25) v = "4.9406564584124654e-324"
        else if (e < 0.35) v = sprintf("%.6fe-%d", 1 + rand() * 8, 309 + int(rand() * 15))
        else v = sprintf("%.15fe%d", 1 + rand() * 8, int(rand() * 616) - 308)
        return (rand() < 0.4 ? "-" : "") v }
    BEGIN { srand(seed); split("--U --R --IS", q, " ")
        for (k = 0; k < 12; k++) {
            fixed = 1 + int(rand() * 3); line = ""
            for (j = 1; j <= 3; j++) {
                if (j == fixed) { line = line q[j] " " end_value() " "; continue }
                do { a = end_value(); b = end_value() } while (a == b)
                line = line q[j] " " a ":" b " "
            }
            print line "--grid " (3 + int(rand() * 9)) "x" (2 + int(rand() * 6)) " --verfahren " letters
        } }' >"$work/regions"
[ "$(wc -l <"$work/regions")" = 12 ] || setup_broken "no random regions"
cat >>"$work/regions" <<'REGIONS'
--U -5:5 --R 1e-300:1e300 --IS 1e-12 --grid 20x20
--U -1e-150:-1e-100 --R 1:1e7 --IS 1e-12 --grid 20x3
--U -1e308:1.7976931348623157e308 --R 1:1e308 --IS 1e-12 --grid 17x9
REGIONS
echo "--U -1.7976931348623157e308:-4.9e-324 --R 1e3 --IS -1e-300:-2.2250738585072014e-308 --grid 9x7" \
    "--verfahren $letters" >>"$work/regions"
while read -ra words; do
    "$2/diodemap" --csv "${words[@]}" >"$work/want.csv" 2>"$work/want.err" || {
        grep -q 'zu klein' "$work/want.err" && continue # a subnormal's decimal digits rounded to 0
        setup_broken "diodemap ${words[*]}: $(cat "$work/want.err")"
    }
    node "$src/tests/web/map-run.mjs" "$src/build/wasm/bin/diodeweb.wasm" 2 "$work/got.csv" "${words[@]}" ||
        fail "the page's map failed: ${words[*]}"
    cmp -s "$work/want.csv" "$work/got.csv" ||
        fail "CSV differs at the double range's ends: ${words[*]}: $(cmp "$work/want.csv" "$work/got.csv")"
    maps=$((maps + 1))
done <"$work/regions"
grep -q -- '-1.7976931348623157e+308' "$work/want.csv" || setup_broken "no number of 24 characters drawn"

# Arguments beyond any buffer: a value of 5000 digits, and 70 words; the
# page's parser answers as the console's.
long=$(printf '1%.0s' $(seq 5000))
many=()
for k in $(seq 35); do many+=(--grid 3x2); done
for args in "--U $long" "${many[*]}"; do
    read -ra words <<<"$args"
    status=0
    "$2/diodemap" --csv "${words[@]}" >"$work/want.csv" 2>"$work/want.err" || status=$?
    got=0
    node "$src/tests/web/map-run.mjs" "$src/build/wasm/bin/diodeweb.wasm" 1 "$work/got.csv" "${words[@]}" \
        2>"$work/got.err" || got=$?
    [ "$status" = "$got" ] && cmp -s "$work/want.err" "$work/got.err" ||
        fail "${#words[@]} words of ${#args} bytes: the page says $(head -c 200 "$work/got.err") ($got)"
    [ "$status" != 0 ] || cmp -s "$work/want.csv" "$work/got.csv" || fail "${#words[@]} words: the CSV differs"
done

echo "WebAssembly: $cases transcript cases, $(ls "$work"/circuit.* | wc -l) circuits and $maps maps checked;" \
    "the step data of $(ls "$work"/every.* | wc -l) circuits, $grids grids of doubles"
finish
