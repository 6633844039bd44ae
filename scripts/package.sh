#!/usr/bin/env bash
# Builds Tarvex 3 (installing what is missing) and makes its Debian package,
# build/tarvex3_<version>_amd64.deb.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/build.sh
cd build
cpack -G DEB
