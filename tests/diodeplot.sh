#!/usr/bin/env bash
# Draws pictures of real diodesolve runs and checks them: the SVG is
# well-formed and holds one series of points per method with one point per
# report line of that method (counted here from the transcript), including
# the passes marked at the edges; the text chart names the three methods; the
# PNG is a PNG. Without gnuplot the tool must say so and end with status 2.
# Usage: diodeplot.sh BIN-DIR   (exit 77: skipped, no gnuplot or xmllint)
set -u
bin=$1
work=$(mktemp -d) || exit 2
trap 'rm -rf "$work"' EXIT
failed=0
fail() { echo "FAIL [$name] $*"; failed=1; }

# Not even a shell finds gnuplot here: one line on standard error, status 2.
name="no gnuplot"
printf '5\n1e3\n1e-12\n' | "$bin/diodesolve" >"$work/t"
env PATH=/nonexistent "$bin/diodeplot" <"$work/t" >"$work/out" 2>"$work/err"
status=$?
[ "$status" = 2 ] || fail "status $status"
[ "$(wc -l <"$work/err")" = 1 ] && grep -q gnuplot "$work/err" || fail "stderr: $(cat "$work/err")"
[ -s "$work/out" ] && fail "wrote to standard output"

command -v gnuplot >/dev/null && command -v xmllint >/dev/null || {
    echo "gnuplot or xmllint missing: pictures not checked"
    exit "$([ "$failed" = 0 ] && echo 77 || echo 1)"
}

# Point counts per series, keyed by the colour of the method's key entry:
# prints "Halbierung 55" and so on for the SVG on standard input.
svg_points() {
    awk '/<g id="gnuplot_plot_/ { g++ }
         /<title>/ { t = $0; sub(/.*<title>/, "", t); sub(/<\/title>.*/, "", t); title[g] = t }
         /<use / { c = $0; sub(/.*color=./, "", c); sub(/.\/>.*/, "", c)
                   if (g) { colour[g] = c; uses[g]++ } }
         END {
           for (k = 1; k <= g; k++) if (title[k] !~ /^gnuplot_plot_/) owner[colour[k]] = title[k]
           for (k = 1; k <= g; k++) if (title[k] ~ /^gnuplot_plot_/ && owner[colour[k]] != "")
               points[owner[colour[k]]] += uses[k]
           for (m in points) print m, points[m]
         }' | sort
}

# picture NAME INPUT [KEY-TEXT...]: the counts must match the transcript.
picture() {
    name=$1
    printf '%b' "$2" | "$bin/diodesolve" >"$work/t"
    shift 2
    "$bin/diodeplot" <"$work/t" >"$work/p.svg" 2>"$work/err" || fail "status $?"
    [ -s "$work/err" ] && fail "stderr: $(head -c 300 "$work/err")"
    xmllint --noout "$work/p.svg" || fail "SVG is not well-formed"
    awk '{ sub(/^.*Ampere: /, "") } /^H Pass/ { h++ } /^R Pass/ { r++ } /^N Pass/ { n++ }
         END { print "Halbierung", h; print "Newton", n; print "Regula falsi", r }' \
        "$work/t" >"$work/want"
    svg_points <"$work/p.svg" >"$work/got"
    diff -u --label transcript --label svg "$work/want" "$work/got" || fail "point counts"
    for text in Durchlauf '|Delta| in V' "$@"; do
        grep -qF "$text" "$work/p.svg" || fail "no '$text' in the SVG"
    done
}

picture "reference run" '5\n1e3\n1e-12\n' 'Delta = 0'
grep -qx 'Halbierung 55' "$work/got" && grep -qx 'Regula falsi 17' "$work/got" &&
    grep -qx 'Newton 4' "$work/got" || fail "not 55, 17 and 4 points"
picture "regula falsi to pass 200" '0.7\n100\n1e-14\n'
grep -qx 'Regula falsi 200' "$work/got" || fail "not 200 regula falsi points"
picture "inf and nan marked" '5\n1e3\n0\n' 'Delta = inf' 'Delta = nan'

name="text chart"
"$bin/diodeplot" --text <"$work/t" >"$work/chart" || fail "status $?"
for text in Halbierung 'Regula falsi' Newton Durchlauf; do
    grep -qF "$text" "$work/chart" || fail "no '$text'"
done

name="png"
"$bin/diodeplot" --png <"$work/t" >"$work/p.png" || fail "status $?"
[ "$(head -c 8 "$work/p.png" | od -An -tx1 | tr -d ' \n')" = 89504e470d0a1a0a ] ||
    fail "not a PNG"
exit "$failed"
