#!/bin/sh
# Screenshots of the practice window under Xvfb: capturas.sh <build-dir> [<output-dir>]
set -e
build=${1:?build directory}
saida=${2:-$build/capturas-pratica}
mkdir -p "$saida"
QT_QPA_PLATFORM=xcb xvfb-run -a -s "-screen 0 1024x768x24" \
  "$build/tests/practice/capturas_pratica" "$saida"
