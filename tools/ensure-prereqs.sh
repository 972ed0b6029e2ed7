#!/bin/sh
# Installs what building and testing need, on Debian, when it is missing.
#   tools/ensure-prereqs.sh             what building and testing need
#   tools/ensure-prereqs.sh screenshot  what a picture of the virtual display needs
set -e
need=""
have() { command -v "$1" >/dev/null 2>&1; }
if [ "$1" = screenshot ]; then
  have import || need="$need imagemagick"
  have xvfb-run || need="$need xvfb"
  have xauth || need="$need xauth"
else
  have cmake || need="$need cmake"
  have ninja || need="$need ninja-build"
  have make || need="$need make"
  have python3 || need="$need python3"
  have x86_64-w64-mingw32-g++-posix || need="$need g++-mingw-w64-x86-64-posix"
  have x86_64-w64-mingw32-windres || need="$need binutils-mingw-w64-x86-64"
  [ -x /usr/lib/wine/wine64 ] || have wine64 || need="$need wine64"
  [ -x /usr/lib/wine/wineserver ] || have wineserver || need="$need wine64"
  have xvfb-run || need="$need xvfb"
  have xauth || need="$need xauth"
  [ -f /usr/src/googletest/CMakeLists.txt ] || need="$need googletest"
  # The sources of the host locales that tools/ensure-locales.sh compiles.
  have localedef || need="$need libc-bin"
  [ -f /usr/share/i18n/locales/ja_JP ] && [ -f /usr/share/i18n/charmaps/UTF-8.gz ] || need="$need locales"
fi
[ -z "$need" ] && exit 0
echo "Installing:$need"
sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -qq
# shellcheck disable=SC2086
$sudo apt-get install -y -qq $need
