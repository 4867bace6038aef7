#!/usr/bin/env bash
# The page's LaTeX exports of the pass tables (tests/web/latex-exports.mjs:
# the circuits named in the README and the issues, every method, 6 and 17
# digits, siunitx and plain) compile with pdflatex on A4 with 2 cm margins,
# as their header says, without an overfull line.
# Usage: latex.sh SOURCE-DIR   (exit 77: node, the wasm toolchain or
# pdflatex missing)
. "$(dirname "$0")/lib.sh"
command -v pdflatex >/dev/null ||
    skip "no pdflatex (Debian: texlive-latex-base texlive-latex-recommended texlive-science): the exports not compiled"
need_web "$1"
node "$1/tests/web/latex-exports.mjs" "$1/build/wasm/bin/diodeweb.wasm" "$work" >/dev/null ||
    setup_broken "the exports were not written"
(cd "$work" && pdflatex -interaction=nonstopmode -halt-on-error all.tex >/dev/null 2>&1) ||
    fail "pdflatex failed: $(grep -m3 '^!' "$work/all.log")"
grep -q 'Overfull' "$work/all.log" && fail "$(grep -c 'Overfull' "$work/all.log") overfull boxes, the first: $(grep -m1 -A1 'Overfull' "$work/all.log")"
finish
