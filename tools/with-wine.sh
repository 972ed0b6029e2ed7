#!/bin/sh
# Runs a command with the build folder's Wine environment ready: a virtual X
# display, the Wine prefix BUILD_DIR/wineprefix and one Wine server kept alive
# until the command ends.
#   tools/with-wine.sh BUILD_DIR command [arguments]
set -e
[ -n "$2" ] || { echo "usage: $0 BUILD_DIR command [arguments]" >&2; exit 2; }
build=$(cd "$1" && pwd)
shift
here=$(cd "$(dirname "$0")" && pwd)

# The display must exist before the Wine server starts: a server started
# without one has no display for its later clients.
if [ -z "$TRELVANE_UNDER_XVFB" ]; then
  TRELVANE_UNDER_XVFB=1 exec xvfb-run -a -s "-screen 0 1280x1024x24 -nolisten tcp" "$0" "$build" "$@"
fi

TRELVANE_WINEPREFIX=$build/wineprefix
WINEPREFIX=$TRELVANE_WINEPREFIX
WINEDEBUG=-all
export TRELVANE_WINEPREFIX WINEPREFIX WINEDEBUG
# The host locales of the suites' LANG, for names that are not ASCII.
"$here/ensure-locales.sh" "$build/locale"

if [ -x /usr/lib/wine/wineserver ]; then wineserver=/usr/lib/wine/wineserver; else wineserver=wineserver; fi
mkdir -p "$WINEPREFIX"
# A server left over from an earlier run may have no display: start afresh.
"$wineserver" -k 2>/dev/null || true
"$wineserver" -p
trap '"$wineserver" -k 2>/dev/null || true' EXIT INT TERM

[ -f "$WINEPREFIX/system.reg" ] || echo "Creating the Wine prefix in $WINEPREFIX"
"$here/wine-exec" wineboot.exe -u >/dev/null 2>&1 || true
# A crashing program must fail, not wait for somebody to close a crash dialog.
"$here/wine-exec" reg.exe add 'HKEY_CURRENT_USER\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f >/dev/null 2>&1 || true
# No window manager runs on the virtual display: Wine then waits two seconds
# for every hidden window; unmanaged windows hide at once.
"$here/wine-exec" reg.exe add 'HKEY_CURRENT_USER\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f >/dev/null 2>&1 || true

echo "Display $DISPLAY, Wine prefix $WINEPREFIX"
cd "$build"
"$@"
