#!/bin/sh
# Compiles the host locales that the suites run under, en_US.UTF-8 and
# ja_JP.UTF-8, into a folder of the build that Wine is pointed at (LOCPATH,
# see wine-exec). Wine can put a name that is not ASCII on disk only when the
# host locale of LANG exists; a private folder needs no root and changes
# nothing outside the build. The sources come with Debian's "locales" package
# (tools/ensure-prereqs.sh installs it).
#   tools/ensure-locales.sh FOLDER
set -e
[ -n "$1" ] || { echo "usage: $0 FOLDER" >&2; exit 2; }
folder=$1
for locale in en_US ja_JP; do
  target="$folder/$locale.UTF-8"
  [ -f "$target/LC_CTYPE" ] && continue
  mkdir -p "$folder"
  # Built aside and moved into place, so that an interrupted or concurrent
  # run never leaves a half-made locale behind.
  partial="$folder/.partial-$$-$locale"
  rm -rf "$partial"
  # localedef exits non-zero for mere warnings: judge by what it wrote.
  localedef -i "$locale" -f UTF-8 "$partial" >/dev/null 2>&1 || true
  if [ ! -f "$partial/LC_CTYPE" ]; then
    rm -rf "$partial"
    echo "$0: cannot compile the locale $locale.UTF-8 (is Debian's locales package installed?)" >&2
    exit 1
  fi
  mv "$partial" "$target" 2>/dev/null || rm -rf "$partial"
done
