#!/bin/sh
# Runs the benchmarks of a build folder under Wine, one after the other, and
# prints their figures.
#   tools/run-bench.sh BUILD_DIR [benchmark names, default all]
set -e
[ -n "$1" ] || { echo "usage: $0 BUILD_DIR [benchmark names]" >&2; exit 2; }
build=$(cd "$1" && pwd)
shift
here=$(cd "$(dirname "$0")" && pwd)
if [ $# -eq 0 ]; then
  set -- $(cd "$build/bench" 2>/dev/null && ls *.exe 2>/dev/null | sed 's/\.exe$//')
fi
[ $# -gt 0 ] || { echo "no benchmarks built"; exit 0; }
script=""
for name in "$@"; do
  script="$script echo; echo \"== $name\"; \"$here/wine-exec\" \"$build/bench/$name.exe\" || exit 1;"
done
exec "$here/with-wine.sh" "$build" sh -c "$script"
