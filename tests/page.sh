#!/usr/bin/env bash
# The browser page in headless Chromium against the native programs: its
# everyday use (tests/web/page-check.mjs, which saves the screenshot as
# SCREENSHOT), its hostile use (tests/web/page-hostile.mjs), its use as a
# lesson against diodelab (tests/web/page-lesson.mjs), its pictures
# (tests/web/page-pictures.mjs), and practice and sheets
# (tests/web/page-practice.mjs).
# Usage: page.sh SOURCE-DIR NATIVE-BIN-DIR SCREENSHOT   (exit 77: node, the
# wasm toolchain, npm or Chromium missing)
. "$(dirname "$0")/lib.sh"
need_program "$2/diodesolve" "$2/diodemap"
chromium=${CHROMIUM:-/usr/bin/chromium}
[ -x "$chromium" ] || skip "no Chromium at $chromium (Debian: chromium): the page not checked in a browser"
need_web "$1" page
export CHROMIUM=$chromium
node "$1/tests/web/page-check.mjs" "$1/build/web/diodesolve.html" "$2" "$3" || fail "the page in Chromium"
node "$1/tests/web/page-hostile.mjs" "$1/build/web/diodesolve.html" "$2" || fail "the page under hostile use"
node "$1/tests/web/page-lesson.mjs" "$1/build/web/diodesolve.html" "$2" || fail "the page as a lesson"
node "$1/tests/web/page-pictures.mjs" "$1/build/web/diodesolve.html" "$2" || fail "the page's pictures"
node "$1/tests/web/page-practice.mjs" "$1/build/web/diodesolve.html" "$2" || fail "the page for practice and sheets"
finish
