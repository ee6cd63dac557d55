#!/usr/bin/env bash
# Runs accessibility.py, a screen reader's view of the real program, on a
# private X server inside a private D-Bus session, where the session bus
# starts the accessibility bus (at-spi-bus-launcher) and its registry the
# first time that Tarvik or the client asks for it.
#
# usage: accessibility.sh TARVIK SAMPLE_LIST
set -euo pipefail

if [ $# -ne 2 ]; then
  echo "usage: $0 TARVIK SAMPLE_LIST" >&2
  exit 2
fi
here=$(cd "$(dirname "$0")" && pwd)

# Debian's Python, which the python3-gi package serves, whatever python3 comes
# first in PATH.
python=/usr/bin/python3
for need in xvfb-run dbus-run-session /usr/libexec/at-spi-bus-launcher "$python"; do
  if ! command -v "$need" >/dev/null; then
    echo "accessibility: $need is missing (scripts/setup.sh installs it)" >&2
    exit 1
  fi
done

work=$(mktemp -d "${TMPDIR:-/tmp}/tarvik-a11y.XXXXXX")
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/home" "$work/config" "$work/data" "$work/cache" "$work/runtime"
chmod 700 "$work/runtime"
cp "$2" "$work/sample.tvk"

# Nothing of the user's desktop: own home and XDG folders, no session bus
# but the private one.
export HOME=$work/home XDG_CONFIG_HOME=$work/config XDG_DATA_HOME=$work/data XDG_CACHE_HOME=$work/cache
export XDG_RUNTIME_DIR=$work/runtime XDG_DATA_DIRS=/usr/share
unset DBUS_SESSION_BUS_ADDRESS AT_SPI_BUS_ADDRESS
export LC_ALL=C.UTF-8 QT_QPA_PLATFORM=xcb QT_FONT_DPI=96
unset QT_SCALE_FACTOR QT_SCREEN_SCALE_FACTORS QT_IM_MODULE QT_STYLE_OVERRIDE QT_QPA_PLATFORMTHEME
# Qt serves the accessibility tree only when asked; with this it always does.
export QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1

xvfb-run -a -n $((100 + RANDOM % 400)) -s "-screen 0 1280x1024x24 -dpi 96 -nolisten tcp -noreset" \
  dbus-run-session -- "$python" "$here/accessibility.py" "$1" "$work/sample.tvk"
