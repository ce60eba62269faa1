#!/usr/bin/env bash
# Starts the standalone app on a virtual display and checks that it is still running after a few
# seconds: it opened its window, found or did without an audio device, and did not crash.
# Usage: starts.sh APP
set -uo pipefail
app=$1
log=$(mktemp)
trap 'rm -f "$log"' EXIT

timeout --signal=TERM 6 xvfb-run -a "$app" > "$log" 2>&1
status=$?
if [ $status -eq 124 ]; then
    echo "standalone app ran until stopped"
    exit 0
fi
echo "FAIL: standalone app exited early with status $status"
cat "$log"
exit 1
