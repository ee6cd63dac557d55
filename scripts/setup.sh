#!/usr/bin/env bash
# Installs the Debian packages that building, running and testing Tarvik need,
# but only those that are missing, and says which ones it installs.
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config
  clang-14 libclang-rt-14-dev clang-format-14 clang-tidy-14
  qt6-base-dev libqt6gui6 libqt6widgets6
  libgtest-dev libgmock-dev googletest libxcb1-dev
  libglib2.0-dev libglib2.0-bin shared-mime-info desktop-file-utils
  libxxhash-dev
  qt6-svg-dev appstream dpkg-dev libxml2-utils
  lintian devscripts qt6-l10n-tools qt6-tools-dev qt6-translations-l10n x11-utils
  xvfb xauth xdotool imagemagick poppler-utils
  acl attr
  fonts-dejavu-core fonts-noto-core
  python3-gi gir1.2-atspi-2.0 at-spi2-core dbus
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  echo "setup: all required packages are installed"
  exit 0
fi

echo "setup: installing ${missing[*]}"
sudo_cmd=()
[ "$(id -u)" -eq 0 ] || sudo_cmd=(sudo)
export DEBIAN_FRONTEND=noninteractive
"${sudo_cmd[@]}" apt-get update -qq
"${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
