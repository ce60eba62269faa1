#!/usr/bin/env bash
# Draws the faceplate art: builds tarvik-artgen and runs it, writing the 33 PNG files that the
# editor embeds into Resources/. Works from a fresh checkout too (configures build/ if needed).
# Builds take the shared lock so they never run alongside another build on this machine.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${TARVIK_BUILD_DIR:-$root/build}"
lock=/tmp/tarvik-build.lock

if [ ! -f "$build/CMakeCache.txt" ]; then
    flock "$lock" cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Release
fi
flock "$lock" cmake --build "$build" -j2 --target tarvik-artgen

tool="$(find "$build/tarvik-artgen_artefacts" -type f -name tarvik-artgen -perm -u+x | head -n 1)"
if [ -z "$tool" ]; then
    echo "make-art.sh: tarvik-artgen was not built" >&2
    exit 1
fi
"$tool" "$root/Resources"
# The next build re-embeds the changed images (the resource library depends on every PNG).
