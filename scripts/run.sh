#!/usr/bin/env bash
# One command on a fresh Debian 12 machine: installs what is needed, builds, and renders audio
# through the default preset. With no arguments it renders the built-in demo programme to
# tarvik-demo.wav; any arguments are passed on to tarvik-render (see README).
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
bash "$root/scripts/setup.sh"
bash "$root/scripts/build.sh"
exec "$root/build/tarvik-render_artefacts/Release/tarvik-render" "$@"
