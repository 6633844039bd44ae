#!/usr/bin/env bash
# Builds Tarvex 3 (installing what is missing) and runs every test.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/build.sh
cd build
ctest --output-on-failure -j "$(nproc)" "$@"
