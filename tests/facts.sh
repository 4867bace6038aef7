#!/usr/bin/env bash
# Checks what is known about the numeric runs of diodesolve without recording
# them: block sizes, how each block ends, signs, the nan and inf spellings and
# the layout of standard output.
#
# Usage: facts.sh PATH-TO-DIODESOLVE
. "$(dirname "$0")/lib.sh"
prog=$(programs "$(dirname "$1")")/${1##*/}
need_program "$prog"

# run NAME INPUT: runs the program on INPUT and checks the layout every run
# shares: the three prompts on the first line, followed directly by the first
# report line; an H, an R and an N block, each closed by one empty line;
# nothing on standard error; status 0. Leaves one report line per row in
# $work/rows as "KIND PASS I DELTA A B".
run() {
    name=$1
    printf '%b' "$2" | "$prog" >"$work/out" 2>"$work/err"
    local status=$?
    [ "$status" = 0 ] || fail "exit status $status"
    [ -s "$work/err" ] && fail "standard error: $(head -c 200 "$work/err")"
    local prompts='Gesamtspannung in V: Widerstand in Ohm: Saettigungsstrom in Ampere: '
    head -n 1 "$work/out" | grep -q "^${prompts}H Pass    1    I=" ||
        fail "first line is not the three prompts and pass 1"
    local shape
    shape=$(sed "1s/^$prompts//" "$work/out" |
        awk '/^[HRN] Pass/ { printf "%s", substr($0, 1, 1); next }
             /^$/ { printf "_"; next } { printf "?" }')
    [[ $shape =~ ^H{2,200}_R{2,200}_N{2,200}_$ ]] ||
        fail "blocks are not H, R, N each closed by one empty line: ${shape:0:40}..."
    sed "1s/^$prompts//" "$work/out" | awk '/^[HRN] Pass/ {
        kind = $1; pass = $3; i = $4; d = $5; a = $6; b = $7
        sub(/^I=/, "", i); sub(/^Delta=/, "", d); sub(/^a=/, "", a); sub(/^b=/, "", b)
        print kind, pass, i, d, (a == "" ? "-" : a), (b == "" ? "-" : b) }' >"$work/rows"
}

# count KIND N: the block has N report lines, numbered 1 to N.
count() {
    awk -v k="$1" -v n="$2" '$1 == k { c++; if ($2 != c) bad = 1 }
        END { exit !(c == n && !bad) }' "$work/rows" ||
        fail "$1 block does not have $2 passes numbered from 1"
}

# check KIND WHICH FIELD OP VALUE: WHICH is all, any, none, first, last or
# a pass number; FIELD is I, Delta, a or b; OP is = (same text), ~ (regular
# expression) or a numeric <, <=, >, >=.
check() {
    awk -v k="$1" -v which="$2" -v field="$3" -v op="$4" -v want="$5" '
        function holds(v) {
            if (op == "=") return v == want
            if (op == "~") return v ~ want
            if (v ~ /nan/) return 0
            v = (v == "inf") ? 1e308 * 10 : (v == "-inf") ? -1e308 * 10 : v + 0
            if (op == "<") return v < want + 0
            if (op == "<=") return v <= want + 0
            if (op == ">") return v > want + 0
            if (op == ">=") return v >= want + 0
            return 0
        }
        BEGIN { col["I"] = 3; col["Delta"] = 4; col["a"] = 5; col["b"] = 6 }
        $1 == k {
            ok = holds($col[field]); n++; last = ok; yes += ok
            if ($2 == which || (which == "first" && n == 1)) picked = ok
        }
        END {
            if (which == "all") exit !(n > 0 && yes == n)
            if (which == "any") exit !(yes > 0)
            if (which == "none") exit !(n > 0 && yes == 0)
            if (which == "last") exit !last
            exit !picked
        }' "$work/rows" || fail "$1 $2 $3 $4 $5"
}

# ends KIND repeat|limit: the block stopped because its estimate repeated
# (fewer than 200 passes, the last two estimates alike) or at pass 200.
ends() {
    awk -v k="$1" -v how="$2" '$1 == k { n++; prev = cur; cur = $3 }
        END { if (how == "limit") exit !(n == 200)
              exit !(n < 200 && cur == prev && cur !~ /nan/) }' "$work/rows" ||
        fail "$1 block does not end on $2"
}

nan='^-?nan$'

run "reference: 5 V, 1 kOhm, 1 pA" '5\n1e3\n1e-12\n'
count H 55; count R 17; count N 4
ends H repeat; ends R repeat; ends N repeat
check H 1 I = 0.0025; check H 1 Delta '<' 0
check R all a = 0; check R none Delta '<' 0; check R last Delta = 0
check N 1 Delta '>' 0 # Newton starts at U / R, where the residual is positive
for k in H R N; do check "$k" last I '>' 0.00442; check "$k" last I '<' 0.00443; done

run "12 V, 4.7 kOhm, 2 nA: Newton alternates" '12\n4.7e3\n2e-9\n'
ends H repeat; ends R repeat; ends N limit
check N last Delta '>' 0; check N 199 Delta '<' 0 # neighbours of opposite sign
check R any a '>' 0 # a rounded intersection residual turns negative
check R any Delta '<' 0

run "0.7 V, 100 Ohm, 10 fA: regula falsi creeps" '0.7\n100\n1e-14\n'
ends H repeat; ends N repeat; ends R limit
check R all a = 0; check R last Delta '>' 0

run "U = 0" '0\n1e3\n1e-12\n'
count H 2; count N 2; ends R limit
for k in H N; do check "$k" all I = 0; check "$k" all Delta = 0; done
check R all I "~" "$nan"; check R all Delta "~" "$nan"; check R all b "~" "$nan"; check R all a = 0

run "R = 0" '5\n0\n1e-12\n'
count H 2; check H all I = inf; check H all Delta "~" "$nan"
ends R limit; check R all I "~" "$nan"
ends N limit; check N all I "~" "$nan"

run "I_S = 0" '5\n1e3\n0\n'
ends H limit; check H all Delta = inf; check H last I '>' 0
ends R limit; ends N limit
check N 1 Delta = inf; check N 1 I = -inf; check N 2 I "~" "$nan"; check N last I "~" "$nan"

run "U = -5 V" '-5\n1e3\n1e-12\n'
ends H limit; check H all I '<' 0; check H 1 Delta "~" "$nan"; check H last Delta '>' 0

[ "$failures" = 0 ] && echo "all facts hold"
finish
