#!/usr/bin/env bash
# diodelab's exercise sheets: the same seed gives the same bytes; every
# circuit lies in its ranges with two significant digits; the key's passes
# are diodelab's own on each circuit (30 seeds), bisection's first pass the
# midpoint of [0, U/R] and Newton's first residual positive; and the LaTeX
# compiles with pdflatex without an overfull line, one page a sheet and a
# key, for the defaults and the fullest pages (pdflatex optional).
# Usage: sheets.sh BIN-DIR
. "$(dirname "$0")/lib.sh"
bin=$(programs "$1")
need_program "$bin/diodelab"
lab=$bin/diodelab

name=seed
"$lab" --blatt 7 --anzahl 20 --csv >"$work/a.csv" || fail "status $?"
"$lab" --blatt 7 --anzahl 20 --csv | cmp -s - "$work/a.csv" || fail "the same seed gives other bytes"
"$lab" --blatt 8 --anzahl 20 --csv | cmp -s - "$work/a.csv" && fail "seeds 7 and 8 give the same key"
"$lab" --blatt 7 --anzahl 25 --csv | head -n "$(wc -l <"$work/a.csv")" | cmp -s - "$work/a.csv" ||
    fail "more students change the first ones' circuits"

# The circuits: in their ranges, two significant digits (printed as %.2g
# they read back as the same double).
name=circuits
"$lab" --blatt 99 --anzahl 200 --U 0.5:30 --R 47:2.2e5 --IS 1e-16:1e-8 --verfahren H --durchlaeufe 1 --csv |
    awk -F, 'NR > 1 { if (!($2 >= 0.5 && $2 <= 30 && $3 >= 47 && $3 <= 2.2e5 && $4 >= 1e-16 && $4 <= 1e-8) ||
        sprintf("%.2g", $2) + 0 != $2 + 0 || sprintf("%.2g", $3) + 0 != $3 + 0 || sprintf("%.2g", $4) + 0 != $4 + 0)
        { print "FAIL [circuits] sheet " $1 ": " $2 " " $3 " " $4; exit } }'

# The key against diodelab's report lines (%g of the key's %.17g is the
# report's text), and facts that hold for every circuit with U > 0.
name=key
for seed in $(seq 1 30); do
    "$lab" --blatt "$seed" --anzahl 3 --verfahren HRNSB --durchlaeufe 3 --csv >"$work/key.csv" || fail "status $?"
    [ "$(wc -l <"$work/key.csv")" = 46 ] || fail "seed $seed: $(wc -l <"$work/key.csv") lines, not 1 + 3 x 5 x 3"
    # diodelab's lines for each student's circuit and method, as "sheet
    # line" (the key's pass 1 rows name them)
    while IFS=, read -r sheet u r is letter pass _; do
        [ "$pass" = 1 ] || continue
        "$lab" --U "$u" --R "$r" --IS "$is" --verfahren "$letter" 2>&1 | sed "s/^/$sheet /"
    done <"$work/key.csv" >"$work/lab.out"
    awk -v seed="$seed" '
        FNR == NR { if ($3 == "Pass") { i = $5; d = $6; sub(/^I=/, "", i); sub(/^Delta=/, "", d)
                        want[$1 " " $2 " " $4] = i " " d }
                    next }
        FNR == 1 { FS = ","; next }
        { split($0, f, ","); key = f[1] " " f[5] " " f[6]; got = sprintf("%g %g", f[7], f[8])
          if (got != want[key]) { print "FAIL [key] seed " seed ", sheet " f[1] ", " f[5] " " f[6] ": key " got ", diodelab " want[key]; bad = 1 }
          if (f[5] f[6] == "H1" && sprintf("%.17g", (0 + f[2] / f[3]) / 2) != sprintf("%.17g", f[7])) {
              print "FAIL [key] seed " seed ": bisection'"'"'s first I " f[7] " is not U/R/2"; bad = 1 }
          if (f[5] f[6] == "N1" && !(f[8] > 0)) { print "FAIL [key] seed " seed ": Newton'"'"'s first Delta " f[8] " is not positive"; bad = 1 } }
        END { exit bad }' "$work/lab.out" "$work/key.csv" || failures=$((failures + 1))
done

name=refusals
for args in "--anzahl 0" "--anzahl 501" "--durchlaeufe 11" "--fragen HX" "--fragen HH" "--U 0:5" \
    "--R 1.0001:1.0002" "--verfahren HRNSIPAGB" "--anzahl 2 --namen A,B" "--x0 1"; do
    # shellcheck disable=SC2086 # the words of args
    "$lab" --blatt 1 $args >/dev/null 2>"$work/err"
    status=$?
    [ "$status" = 64 ] && grep -q '^FEHLER: ' "$work/err" || fail "--blatt 1 $args: status $status, $(head -c 200 "$work/err")"
done
"$lab" --anzahl 3 >/dev/null 2>&1 && fail "--anzahl without --blatt accepted"

# pdflatex: no overfull line, one page a sheet and a key; names with
# accents and with LaTeX's own characters.
name=pdflatex
if optional pdflatex "the sheets' LaTeX" "texlive-latex-base texlive-latex-recommended"; then
    for args in "--anzahl 12" "--namen Jürgen_Weiß,Ça#va,O'Brien\\x,%&{}~^ --verfahren RIP --durchlaeufe 3" \
        "--anzahl 6 --verfahren BG --durchlaeufe 7 --U 0.1:1000 --R 1:1e7 --IS 1e-20:1e-3" \
        "--anzahl 6 --verfahren HN --durchlaeufe 10" "--anzahl 6 --verfahren HSRNI --durchlaeufe 1"; do
        # shellcheck disable=SC2086 # the words of args
        "$lab" --blatt 5 $args >"$work/s.tex" || fail "$args: status $?"
        students=$(grep -c '^\\section\*{Übungsblatt' "$work/s.tex")
        (cd "$work" && pdflatex -interaction=nonstopmode -halt-on-error s.tex >/dev/null 2>&1) ||
            fail "$args: pdflatex failed: $(grep -m3 '^!' "$work/s.log")"
        grep -q 'Overfull' "$work/s.log" && fail "$args: $(grep -m1 -A1 'Overfull' "$work/s.log")"
        pages=$(sed -n 's/^Output written on s.pdf (\([0-9]*\) page.*/\1/p' "$work/s.log")
        [ "$pages" = $((2 * students)) ] || fail "$args: $pages pages for $students students"
    done
fi
finish
