#!/usr/bin/env bash
# make test and make test-all: runs ctest with the preset and the arguments
# given, then names every test that skipped, in whole or in part, with the
# reason it gave (its "SKIP: ..." lines), which ctest itself shows only under
# -V. The status is ctest's.
# Usage: ctest.sh PRESET BUILD-DIR [CTEST ARGUMENTS...]
preset=$1 build=$2
shift 2
ctest --preset "$preset" "$@"
status=$?
log=$build/Testing/Temporary/LastTest.log
[ -f "$log" ] && awk '
    /^[0-9]+\/[0-9]+ Test: / { test = $3 }
    /^SKIP/ { if (!n++) print "\nSkipped, with the reasons the tests gave:"; print "  " test ": " $0 }' "$log"
exit $status
