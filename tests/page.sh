#!/usr/bin/env bash
# The browser page in headless Chromium (tests/web/page-check.mjs) against
# the native programs; saves its screenshot as SCREENSHOT.
# Usage: page.sh SOURCE-DIR NATIVE-BIN-DIR SCREENSHOT   (exit 77: node, the
# wasm toolchain, npm or Chromium missing)
. "$(dirname "$0")/lib.sh"
need_program "$2/diodesolve" "$2/diodemap"
chromium=${CHROMIUM:-/usr/bin/chromium}
[ -x "$chromium" ] || skip "no Chromium at $chromium (Debian: chromium): the page not checked in a browser"
need_web "$1" page
CHROMIUM=$chromium node "$1/tests/web/page-check.mjs" "$1/build/web/diodesolve.html" "$2" "$3" ||
    fail "the page in Chromium"
finish
