#!/usr/bin/env bash
# Configures and builds everything (plug-in, renderer, benchmark, tests) in Release into build/.
set -euo pipefail
cd "$(dirname "$0")/.."
cmake -S . -B build -DCMAKE_BUILD_TYPE=Release > /dev/null
cmake --build build --parallel "$(nproc)"
