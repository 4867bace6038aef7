#!/usr/bin/env bash
# Every sentence the page says about a pass or a run, against the pass data
# (tests/web/claims.mjs), and practice's verdict on a typed number against
# C's printf (tests/web/judge-run.mjs), under node, with the WebAssembly
# module brought up to date first.
# Usage: claims.sh SOURCE-DIR [RANDOM-CIRCUITS]   (exit 77: node or the
# wasm toolchain missing)
. "$(dirname "$0")/lib.sh"
need_web "$1"
node "$1/tests/web/claims.mjs" "$1/build/wasm/bin/diodeweb.wasm" "${2:-300}" || fail "a sentence claims what does not hold"
node "$1/tests/web/judge-run.mjs" "$1/build/wasm/bin/diodeweb.wasm" || fail "practice judges a number wrongly"
finish
