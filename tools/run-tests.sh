#!/bin/sh
# Runs the test suites of a build folder under Wine (see with-wine.sh).
#   tools/run-tests.sh BUILD_DIR [extra ctest arguments, such as -R path]
set -e
[ -n "$1" ] || { echo "usage: $0 BUILD_DIR [ctest arguments]" >&2; exit 2; }
build=$1
shift
exec "$(dirname "$0")/with-wine.sh" "$build" ctest --output-on-failure -j "${TRELVANE_TEST_JOBS:-2}" "$@"
