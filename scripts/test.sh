#!/usr/bin/env bash
# One command on a fresh Debian 12 machine: installs what is needed, builds, runs every test.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
bash scripts/build.sh
cd build
ctest --output-on-failure --timeout 600 --parallel 2
