#!/usr/bin/env bash
# Installs every Debian package the project needs. Safe to run again: packages already present
# are left alone, and nothing is installed when everything is there.
set -euo pipefail

packages=(
  build-essential cmake pkg-config git python3
  juce-modules-source            # JUCE 7.0.5 and every library it links
  libgtest-dev libgmock-dev
  lv2-dev serdi sordi lilv-utils # LV2 bundle validation
  xvfb xauth                     # the standalone app's smoke test has no display of its own
  libebur128-dev                 # tarvik-render's loudness measurement
  fonts-dejavu-core              # the text of tarvik-render's --plot pictures
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done

if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -q
$SUDO apt-get install -y -q --no-install-recommends "${missing[@]}"
