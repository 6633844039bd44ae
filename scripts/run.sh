#!/usr/bin/env bash
# Builds Tarvex 3 (installing what is missing) and starts it.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/build.sh
cd build/data
exec ../src/app/tarvex3 "$@"
