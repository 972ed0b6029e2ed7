#!/bin/sh
# Starts the built program under Wine with the given paths on its command line.
#   tools/run-program.sh BUILD_DIR [paths...]
# With a display (DISPLAY set) the window opens there, in the prefix
# BUILD_DIR/wineprefix-display, and the script returns when the program ends.
# Without one the program runs on a virtual display in the tests' prefix; the
# script waits for the window, writes a picture of the screen to
# BUILD_DIR/trelvane.png and closes the program with File > Exit. With
# TRELVANE_RUN_MENU set to keys ("np": Name > Presets) the picture shows that
# menu open. Options (/preset:..., /perform) are passed on as they are.
set -e
[ -n "$1" ] || { echo "usage: $0 BUILD_DIR [paths...]" >&2; exit 2; }
build=$(cd "$1" && pwd)
shift
here=$(cd "$(dirname "$0")" && pwd)
program=$build/bin/Trelvane.exe
[ -f "$program" ] || { echo "$program is not built" >&2; exit 1; }

if [ -n "$DISPLAY" ] && [ -z "$TRELVANE_UNDER_XVFB" ]; then
  # Windows managed by the desktop's window manager, unlike the tests' prefix.
  TRELVANE_WINEPREFIX=$build/wineprefix-display
  export TRELVANE_WINEPREFIX
  exec "$here/wine-exec" "$program" "$@"
fi

# Relative paths name files from where the command was given; the virtual
# display's script runs in the build folder.
args=""
rows=0
for path in "$@"; do
  case $path in
    /*/*|/*.*) rows=$((rows + 1)) ;;
    /*) ;;
    *) path=$PWD/$path; rows=$((rows + 1)) ;;
  esac
  args="$args '$(printf '%s' "$path" | sed "s/'/'\\\\''/g")'"
done

"$here/ensure-prereqs.sh" screenshot
picture=$build/trelvane.png
rm -f "$picture"
driver=$build/tools/rundriver/trelvane_rundriver.exe
"$here/with-wine.sh" "$build" sh -c "
  \"$here/wine-exec\" \"$program\" $args &
  program=\$!
  status=0
  geometry=\$(\"$here/wine-exec\" \"$driver\" wait $rows | tr -d '\\r') || status=1
  [ -n \"\$geometry\" ] || status=1
  if [ -n \"$TRELVANE_RUN_MENU\" ]; then
    \"$here/wine-exec\" \"$driver\" menu \"$TRELVANE_RUN_MENU\" || status=1
  fi
  # Only the window.
  import -window root \${geometry:+-crop \"\$geometry\"} \"$picture\" || status=1
  \"$here/wine-exec\" \"$driver\" exit || status=1
  wait \$program || true
  exit \$status
"
echo "The picture of the program's window is $picture"
