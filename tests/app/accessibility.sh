#!/usr/bin/env bash
# Runs accessibility.py, a screen reader's view of the real program, on a
# private X server inside a private D-Bus session, where the session bus
# starts the accessibility bus (at-spi-bus-launcher) and its registry the
# first time that Tarvik or the client asks for it.
#
# usage: accessibility.sh TARVIK SAMPLE_LIST
#
# On failure the working folder is kept (x11_harness.sh).
set -euo pipefail

if [ $# -ne 2 ]; then
  echo "usage: $0 TARVIK SAMPLE_LIST" >&2
  exit 2
fi
here=$(cd "$(dirname "$0")" && pwd)
e2e_name=accessibility
. "$here/x11_harness.sh"

# Debian's Python, which the python3-gi package serves, whatever python3 comes
# first in PATH.
python=/usr/bin/python3
require_tools xvfb-run xdotool dbus-run-session /usr/libexec/at-spi-bus-launcher "$python"
enter_private_x_server tarvik-a11y "$0" "$@"
use_private_desktop
cp "$2" "$work/sample.tvk"

# Qt serves the accessibility tree only when asked; with this it always does.
export QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1
# The private session bus replaces the absent one of the private desktop.
dbus-run-session -- "$python" "$here/accessibility.py" "$1" "$work/sample.tvk"
