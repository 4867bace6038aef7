#!/usr/bin/env bash
# Draws pictures of real diodesolve runs and checks them: the SVG is
# well-formed and holds one series of points per method with one point per
# report line of that method (counted here from the transcript), including
# the passes marked at the edges; the text chart names the three methods and
# fits its width; the PNG is a PNG. Then the faults: lost output, a missing
# or failing gnuplot, a cut transcript, an ignored SIGCHLD.
# Usage: diodeplot.sh BIN-DIR VERSION   (exit 77 after the rest: no gnuplot for the
# pictures, or no xmllint for the SVG's form)
. "$(dirname "$0")/lib.sh"
bin=$(programs "$1")
need_program "$bin/diodesolve" "$bin/diodeplot"
plot=$bin/diodeplot
printf '5\n1e3\n1e-12\n' | "$bin/diodesolve" >"$work/T"

# expect STATUS STDERR-LINE COMMAND...: the command (standard output into
# $work/out) ends with STATUS and writes just that line to standard error.
expect() {
    local status=$1 err=$2
    shift 2
    "$@" >"$work/out" 2>"$work/err" <"${input:-$work/T}"
    local got=$?
    [ "$got" = "$status" ] || fail "status $got, not $status"
    [ "$(cat "$work/err")" = "$err" ] || fail "stderr: $(head -c 300 "$work/err")"
}

# A transcript cut at any line is refused, naming the incomplete or missing
# block; the whole one is accepted. None of this needs gnuplot.
name="cut transcript"
lines=$(wc -l <"$work/T")
for k in $(seq 1 $((lines - 1))); do
    head -n "$k" "$work/T" | env PATH=/nonexistent "$plot" >/dev/null 2>"$work/err" &&
        fail "accepted the first $k lines"
    grep -qE 'Block von (Halbierung|Regula falsi|Newton) (ist unvollstaendig|fehlt)' "$work/err" ||
        fail "after $k lines: $(cat "$work/err")"
done

name="no gnuplot"
expect 2 "FEHLER: gnuplot nicht gefunden; bitte installieren (Debian: gnuplot-nox)!" \
    env PATH=/nonexistent "$plot"
[ -s "$work/out" ] && fail "wrote to standard output"
name="failing gnuplot"
mkdir "$work/fake" && printf '#!/bin/sh\nexit 1\n' >"$work/fake/gnuplot" && chmod +x "$work/fake/gnuplot"
expect 3 "FEHLER: gnuplot ist gescheitert!" env PATH="$work/fake" "$plot"

tool_info "$plot" diodeplot "$2"

optional gnuplot "the pictures" gnuplot-nox || finish
xml=0
optional xmllint "the SVG's form" libxml2-utils && xml=1

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
    input=$work/t expect 0 "" "$plot" -o "$work/p.svg"
    [ $xml = 0 ] || xmllint --noout "$work/p.svg" || fail "SVG is not well-formed"
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
picture "residuals near the largest double" '-1.7e308\n-1\n1\n'
grep -qx 'Halbierung 200' "$work/got" || fail "not 200 bisection points"
picture "subnormal residuals" '1e-310\n1\n1\n'

# The same picture from CRLF line ends, from a NUL line between blocks, with
# an ignored SIGCHLD and with a personal gnuplot init file.
"$plot" <"$work/T" >"$work/ref.svg" || fail "reference picture"
mkdir "$work/home" && echo 'set label "PERSOENLICH" at 1,1' >"$work/home/.gnuplot"
n=$(grep -n '^N Pass' "$work/T" | head -n 1 | cut -d: -f1)
{ head -n $((n - 1)) "$work/T"; printf 'x\0y\n'; tail -n +"$n" "$work/T"; } >"$work/nul"
sed 's/$/\r/' "$work/T" >"$work/crlf"
for variant in crlf nul sigchld home; do
    name=$variant input=$work/T
    case $variant in crlf | nul) input=$work/$variant ;; esac
    case $variant in
    sigchld) expect 0 "" perl -e '$SIG{CHLD} = "IGNORE"; exec @ARGV' "$plot" --svg ;;
    home) expect 0 "" env HOME="$work/home" "$plot" ;;
    *) expect 0 "" "$plot" ;;
    esac
    cmp -s "$work/ref.svg" "$work/out" || fail "not the reference picture"
done
input=

# Lost output fails for every kind, to a full disk or a closed stdout, and
# through -o; a file that cannot be created is named.
for kind in --svg --png --text; do
    name="lost output $kind"
    expect 1 "FEHLER: Schreibfehler bei der Ausgabe!" sh -c '"$0" "$1" >/dev/full' "$plot" "$kind"
    expect 1 "FEHLER: Schreibfehler bei der Ausgabe!" sh -c '"$0" "$1" >&-' "$plot" "$kind"
    expect 1 "FEHLER: Schreibfehler bei der Ausgabe!" "$plot" "$kind" -o /dev/full
done
name="-o into a missing folder"
expect 1 "FEHLER: Die Ausgabedatei \"$work/nix/p.svg\" kann nicht geschrieben werden: No such file or directory!" \
    "$plot" -o "$work/nix/p.svg"

# The text chart: every method and axis named, never wider than the terminal,
# else COLUMNS, else 80 columns; a picture to -o FILE from a terminal is fine.
name="text chart"
"$plot" --text <"$work/T" >"$work/chart" || fail "status $?"
for text in Halbierung 'Regula falsi' Newton Durchlauf '|Delta| in V'; do
    grep -qF "$text" "$work/chart" || fail "no '$text'"
done
# The frame takes the width (80 columns); the key stands below it and shows
# the marks the chart uses; the zeros of each method lie on a row of their
# own at the bottom edge, nan on a row of their own at the top edge.
frame() { awk '/^ *\+-+\+ *$/ { n++; w = length($0) } END { print n + 0, w + 0 }' "$1"; }
[ "$(frame "$work/chart")" = "2 77" ] || fail "frame $(frame "$work/chart"), not 2 rows of 77 columns"
key=$(awk '/Durchlauf *$/ { below = 1; next } below' "$work/chart")
grep -q '^ H Halbierung   R Regula falsi   N Newton' <<<"$key" || fail "key: $key"
grep -q '^ h r n: Delta = 0 unten' <<<"$key" || fail "key of the marks: $key"
# mark_rows FILE: for h, r and n, the rows inside the frame (counted from
# the top) that hold it.
mark_rows() {
    awk -F'|' '/^ *\+-+\+ *$/ { inside = !inside; next } inside { row++; for (c = 1; c <= 3; c++) if (index($2, substr("hrn", c, 1))) r[c] = r[c] " " row }
               END { print r[1] ";" r[2] ";" r[3] }' "$1"
}
[ "$(mark_rows "$work/chart")" = " 13; 12; 11" ] || fail "zero marks on rows $(mark_rows "$work/chart")"
printf -- '-5\n1e3\n1e-12\n' | "$bin/diodesolve" | "$plot" --text >"$work/nan-chart" ||
    fail "nan chart: status $?"
[ "$(mark_rows "$work/nan-chart")" = " 1; 2; 3" ] || fail "nan marks on rows $(mark_rows "$work/nan-chart")"
[ "$(grep -o r "$work/nan-chart" | wc -l)" -ge 60 ] || fail "regula falsi's nan marks hidden"
# width WHAT WANT COMMAND...: the chart is WANT columns wide, give or take a
# blank column or two at its right edge, and not one more.
width() {
    name="text chart, $1"
    local want=$2
    shift 2
    "$@" <"$work/T" >"$work/chart" 2>"$work/err"
    local got
    got=$(widest "$work/chart")
    [ "$got" -le "$want" ] && [ "$got" -ge $((want - 3)) ] || fail "$got columns wide"
    [ -s "$work/err" ] && fail "stderr: $(cat "$work/err")"
}
width "80 without COLUMNS" 80 env -u COLUMNS "$plot" --text
width "COLUMNS=50" 50 env COLUMNS=50 "$plot" --text
width "a terminal's 60 before COLUMNS" 60 on_terminal 60 env COLUMNS=200 "$plot" --text
width "a terminal's 33" 33 on_terminal 33 "$plot" --text
name="-o from a terminal"
on_terminal 80 "$plot" --png -o "$work/t.png" <"$work/T" || fail "status $?"

name="png"
"$plot" --png <"$work/T" >"$work/p.png" || fail "status $?"
is_png "$work/p.png" || fail "not a PNG"
finish
