#!/usr/bin/env bash
# Checks diodemap against diodesolve: at every point of several small maps
# (among them the circuits whose runs are known), each method's passes, how
# it ended and its last estimate as printed must be those of the transcript.
# Then: the known outcomes themselves, identical bytes for any thread count,
# lost output, the text map's width, and well-formed pictures.
# Usage: diodemap.sh BIN-DIR VERSION   (exit 77 after the rest: no gnuplot or xmllint
# for the pictures)
. "$(dirname "$0")/lib.sh"
bin=$(programs "$1")
need_program "$bin/diodemap" "$bin/diodesolve"
map=$bin/diodemap

# agree NAME MAP-ARGS...: the map's CSV, point by point, against diodesolve.
# Leaves the CSV rows in $work/csv as "U R I_S method passes end I".
agree() {
    name=$1
    shift
    "$map" --csv "$@" >"$work/map.csv" || fail "status $?"
    [ "$(head -n 1 "$work/map.csv")" = "U,R,I_S,Verfahren,Durchlaeufe,Ende,I" ] || fail "header"
    tail -n +2 "$work/map.csv" | tr , ' ' >"$work/csv"
    : >"$work/runs"
    awk '{ print $1, $2, $3 }' "$work/csv" | uniq | while read -r u r i_s; do
        printf '%s\n%s\n%s\n' "$u" "$r" "$i_s" | "$bin/diodesolve" |
            awk -v c="$u $r $i_s" '{ sub(/^.*Ampere: /, "") }
                /^[HRN] Pass/ { k = $1; n[k]++; prev[k] = last[k]; last[k] = substr($4, 3) }
                END { for (k in n) print c, k, n[k], last[k], prev[k] }' >>"$work/runs"
    done
    awk 'NR == FNR { run[$1 " " $2 " " $3 " " $4] = $5 " " $6 " " $7; next }
        { key = $1 " " $2 " " $3 " " $4
          if (!(key in run)) { print "no transcript for " key; bad = 1; next }
          split(run[key], t, " ")
          i = ($7 ~ /nan|inf/) ? $7 : sprintf("%g", $7)
          if ($5 != t[1]) { print key ": " $5 " passes, transcript " t[1]; bad = 1 }
          if (i != t[2]) { print key ": I " i ", transcript " t[2]; bad = 1 }
          if ($5 < 200 && $6 != "Wiederholung") { print key ": " $6 " before pass 200"; bad = 1 }
          if ($5 == 200 && t[2] != t[3] && $6 != "Grenze") { print key ": " $6 " without a repeat"; bad = 1 } }
        END { exit bad }' "$work/runs" "$work/csv" || fail "differs from diodesolve"
}

# agree_lab NAME MAP-ARGS...: the map with all the methods, point by
# point, against diodelab's comparison (its lines have fixed columns: the
# letter, the passes from column 24, the ending from 41, then I=): passes,
# ending and last estimate.
agree_lab() {
    name=$1
    shift
    "$map" --csv --verfahren "$(method_letters "$bin")" "$@" >"$work/lab.csv" || fail "status $?"
    tail -n +2 "$work/lab.csv" | awk -F, '{ print $1 "|" $2 "|" $3 "|" $4 "|" $5 "|" $6 "|" $7 }' >"$work/map"
    cut -d'|' -f1-3 "$work/map" | uniq | tr '|' ' ' | while read -r u r i_s; do
        "$bin/diodelab" --U "$u" --R "$r" --IS "$i_s" |
            awk -v c="$u|$r|$i_s" '/^Wurzel I\*/ { on = 1; next }
                on && /^[A-Z] / { e = substr($0, 41, 12); sub(/ +$/, "", e)
                    i = substr($0, 55); sub(/^I=/, "", i); sub(/ .*/, "", i)
                    print c "|" substr($0, 1, 1) "|" substr($0, 24, 3) + 0 "|" e "|" i }'
    done >"$work/lab"
    [ -s "$work/lab" ] || setup_broken "no comparison lines"
    diff <(sort "$work/map") <(sort "$work/lab") >"$work/lab.diff" ||
        fail "differs from diodelab: $(head -4 "$work/lab.diff")"
}

# known U R I_S METHOD PASSES END [LOW HIGH]: what is known of that circuit's run
# (PASSES "-" for any); the last estimate between LOW and HIGH, or finite.
known() {
    awk -v c="$1 $2 $3 $4" -v n="$5" -v e="$6" -v lo="${7:-}" -v hi="${8:-}" '
        $1 " " $2 " " $3 " " $4 == c { found = 1
            ok = (n == "-" || $5 == n) && $6 == e && $7 !~ /nan|inf/
            if (lo != "") ok = ok && $7 + 0 > lo + 0 && $7 + 0 < hi + 0 }
        END { exit !(found && ok) }' "$work/csv" || fail "$1 $2 $3 $4: not $5 $6 $7 $8"
}

agree "5 V, 1 kOhm, 1 pA (reference)" --U 5 --R 1000:4700 --IS 1e-12:2e-9 --grid 3x3
for m in H:55 R:17 N:4; do known 5 1000 9.9999999999999998e-13 "${m%:*}" "${m#*:}" Wiederholung 0.00442 0.00443; done
agree "12 V, 4.7 kOhm, 2 nA (Newton alternates)" --U 12 --R 1000:4700 --IS 1e-12:2e-9 --grid 2x3
known 12 4700 2.0000000000000001e-09 N 200 Grenze
known 12 4700 2.0000000000000001e-09 H - Wiederholung
agree "0.7 V, 100 Ohm, 10 fA (regula falsi creeps)" --U 0.7:2 --R 100 --IS 1e-14:1e-12 --grid 3x2
known 0.69999999999999996 100 1e-14 R 200 Grenze
known 0.69999999999999996 100 1e-14 N - Wiederholung
agree "U = 0 and I_S = 0 (nan, inf)" --U 0:5 --R 1000:10 --IS 0 --grid 2x2
agree "evenly spaced, through zero" --U -1:1 --R 1000 --IS 1e-12:1e-9 --grid 3x2
agree_lab "the remedies, where the three fail" --U 0.3:12 --R 100:4700 --IS 1e-14 --grid 4x3
agree_lab "the remedies, zero, nan and inf" --U -1:5 --R 0:1000 --IS 1e-12 --grid 3x3
agree_lab "the remedies without a saturation current" --U 5 --R 0:1000 --IS 0:1e-12 --grid 2x3

tool_info "$map" diodemap "$2"

name="any number of threads"
for t in 1 3; do "$map" --csv --grid 37x23 --threads $t >"$work/csv-$t" || fail "status $?"; done
cmp -s "$work/csv-1" "$work/csv-3" || fail "CSV with 1 and 3 threads differs"
for t in 1 3; do COLUMNS=70 "$map" --text --grid 53x31 --threads $t >"$work/text-$t" || fail "status $?"; done
cmp -s "$work/text-1" "$work/text-3" || fail "text map with 1 and 3 threads differs"

name="text map"
widest=$(widest "$work/text-1")
[ "$widest" -le 70 ] || fail "$widest columns wide, COLUMNS=70"
for text in Halbierung 'Regula falsi' Newton 'R in Ohm' 'I_S in A' 'Grenze, nan/inf'; do
    grep -qF "$text" "$work/text-1" || fail "no '$text'"
done
awk '/^  (Wiederholung|Grenze)/ { s += $(NF - 1) } END { exit !(s > 299.8 && s < 300.2) }' \
    "$work/text-1" || fail "the shares of a method do not add up to 100 %"

# Three ways to reach the limit with a finite estimate, at the circuits
# whose runs are known: Newton alternates between neighbouring doubles at
# 12 V, 4.7 kOhm, 2 nA ("@", an der Nullstelle), and between two values six
# doubles apart at 0.3 V, 1.314... Ohm, 1 uA ("o", kreist); regula falsi
# creeps at 0.7 V, 100 Ohm, 1e-14 A ("~", kriecht). Each is the bottom left
# corner of its panel.
name="an der Nullstelle, kreist and kriecht"
corner() { # METHOD ARGS...: the mark at the first point of METHOD's panel
    local method=$1
    shift
    COLUMNS=60 "$map" --text --grid 2x2 "$@" |
        awk -v m="$method" '$0 == m { p = 1 } p && / \|/ { row = $0 } p && /^ +[^ |]+$/ { print substr(row, index(row, "|") + 1, 1); exit }'
}
[ "$(corner Newton --U 12 --R 4700:4800 --IS 2e-9:3e-9)" = @ ] || fail "Newton at 12 V is not at the root"
[ "$(corner Newton --U 0.3 --R 1.3141473626117564:2 --IS 1e-6:2e-6)" = o ] || fail "Newton at 0.3 V does not cycle"
[ "$(corner 'Regula falsi' --U 0.7 --R 100:200 --IS 1e-14:2e-14)" = '~' ] || fail "regula falsi at 0.7 V does not creep"
# The secant's last two residuals are equal at 180.4186409392071 V, 1 kOhm,
# 1.1671161911100662e-16 A: it ends there, its secant horizontal ("_"), a
# class that only a map of a method that can end so shows.
name="waagerecht"
level=(--U 180.4186409392071:200 --R 1000 --IS 1.1671161911100662e-16:1e-15)
[ "$(corner Sekantenverfahren "${level[@]}" --verfahren S)" = _ ] || fail "the secant does not end horizontal"
"$map" --csv --grid 2x2 "${level[@]}" --verfahren S | grep -q '^180.41864093920711,1000,1.1671161911100662e-16,S,4,Waagerecht,0.17950943918888798$' ||
    fail "the CSV does not say Waagerecht"
COLUMNS=80 "$map" --text --grid 4x3 "${level[@]}" --verfahren HS | grep -q '^  Sekante waagerecht ' ||
    fail "no share of the horizontal secant"
grep -q 'Sekante waagerecht' "$work/text-1" && fail "a map without the secant explains its horizontal end"

# Coloured by evaluations (--farbe auswertungen), each point of a 2 x 2
# text map that ended before the limit has the mark of its evaluations of f
# and f' as diodelab --kosten counts them at that circuit (f and f', the
# start's included), in buckets of powers of two.
name="coloured by evaluations"
evaluations_agree() { # U-RANGE R-RANGE I_S: every method at the four corners
    local u=(${1/:/ }) r=(${2/:/ }) letters checked=0 want got
    letters=$(method_letters "$bin")
    COLUMNS=60 "$map" --text --grid 2x2 --U "$1" --R "$2" --IS "$3" --verfahren "$letters" \
        --farbe auswertungen >"$work/evaluations" || fail "status $?"
    grep -q "^Zeichen: Auswertungen von f und f' " "$work/evaluations" || fail "the legend does not say evaluations"
    for col in 0 1; do
        for row in 0 1; do
            # The map's marks at this point: the bottom row is the first R.
            awk -v row=$row -v col=$col '/^[A-Z][^ ]/ && !/^Zeichen/ { name = $0; n = 0 }
                /^ +[^ ]+ \|.*\|$/ { n++; line = substr($0, index($0, "|") + 1)
                    if (n == 2 - row) print name "|" substr(line, col + 1, 1) }' "$work/evaluations" |
                sort >"$work/marks"
            "$bin/diodelab" --U "${u[$col]}" --R "${r[$row]}" --IS "$3" --kosten |
                awk 'match($0, / f +[0-9]+ \(Start [0-9]+\) +f\x27 +[0-9]+/) {
                    name = substr($0, 3, RSTART - 3); sub(/ +$/, "", name)
                    counts = substr($0, RSTART, RLENGTH); gsub(/[^0-9]+/, " ", counts); split(counts, v, " ")
                    b = 0; while (b < 7 && v[1] + v[3] >= 2 ^ (b + 2)) b++
                    print name "|" substr(".:-=+*#%", b + 1, 1) }' | sort >"$work/counted"
            [ "$(wc -l <"$work/counted")" = ${#letters} ] || setup_broken "diodelab --kosten lines"
            while IFS='|' read -r method got; do
                case $got in [@o~X_]) continue ;; esac # ended at the limit, or horizontal
                want=$(grep -F "$method|" "$work/counted" | cut -d'|' -f2)
                [ "$got" = "$want" ] || fail "$method at ${u[$col]} V, ${r[$row]} Ohm: '$got', counted '$want'"
                checked=$((checked + 1))
            done <"$work/marks"
        done
    done
    [ $checked -ge 20 ] || setup_broken "only $checked points compared"
}
evaluations_agree 0.3:12 100:4700 1e-14
evaluations_agree 1:12 1000:1e6 1e-12

pictures=0
optional gnuplot "the pictures" gnuplot-nox && pictures=1
kinds=(--csv --text)
[ $pictures = 1 ] && kinds+=(--svg)
# The text map's rows keep the grid's shape (53x31 at COLUMNS=70: all 53
# columns, 15.5 rows rounded to 16); the ends of a narrow x axis go on two
# lines.
map_rows() { awk '/senkrecht/ { n = 0; on = 1; next } on && /\|$/ { n++ } on && !/\|$/ { print n; on = 0 }' "$1"; }
[ "$(map_rows "$work/text-1" | sort -u)" = 16 ] || fail "rows: $(map_rows "$work/text-1" | tr '\n' ' ')"
COLUMNS=80 "$map" --text --grid 3x2 --R 100:120 >"$work/narrow" || fail "status $?"
[ "$(map_rows "$work/narrow" | sort -u)" = 2 ] || fail "rows of 3x2: $(map_rows "$work/narrow" | tr '\n' ' ')"
[ "$(grep -cxE ' +(1e2|1\.2e2)' "$work/narrow")" = 6 ] || fail "the x axis's ends of 3x2 run together"

for kind in "${kinds[@]}"; do
    name="lost output $kind"
    "$map" $kind --grid 20x20 >/dev/full 2>"$work/err" && fail "status 0"
    [ "$(cat "$work/err")" = "FEHLER: Schreibfehler bei der Ausgabe!" ] || fail "stderr: $(cat "$work/err")"
done

[ $pictures = 1 ] || finish
name="picture"
"$map" --grid 60x40 -o "$work/m.svg" 2>"$work/err" || fail "status $?"
[ -s "$work/err" ] && fail "stderr: $(cat "$work/err")"
if optional xmllint "the SVG's form" libxml2-utils; then
    xmllint --noout "$work/m.svg" || fail "SVG is not well-formed"
fi
for text in Halbierung 'Regula falsi' Newton Ohm Wiederholung 'an der Nullstelle' 'nan/inf' Durchlaeufe \
    logarithmisch; do
    grep -qF "$text" "$work/m.svg" || fail "no '$text' in the SVG"
done
# Coloured by evaluations: the title and the colour bar say so (the
# quote of f' kept within gnuplot's quotes), the ticks reach 256.
"$map" --grid 30x20 --verfahren NS --farbe auswertungen -o "$work/e.svg" 2>"$work/err" || fail "status $?: $(cat "$work/err")"
grep -qF "Auswertungen von f und f' bis" "$work/e.svg" || fail "the SVG does not say evaluations"
grep -q '>256<' "$work/e.svg" || fail "no tick for 256 evaluations"
"$map" --png --grid 60x40 --U 0.1:1000 --R 1000 >"$work/m.png" || fail "status $?"
is_png "$work/m.png" || fail "not a PNG"
finish
