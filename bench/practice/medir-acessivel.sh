#!/usr/bin/env bash
# The practice benchmark with a screen reader's bus listening (AT-SPI on a private session bus
# under Xvfb) and the student's voice on: medir-acessivel.sh <build folder>
set -eu
build=$(cd "$1" && pwd)
if [ "${DENTRO:-}" != 1 ]; then
  DENTRO=1 exec xvfb-run -a -s "-screen 0 1280x1024x24" dbus-run-session -- bash "$0" "$build"
fi
/usr/libexec/at-spi-bus-launcher --launch-immediately &
lancador=$!
sleep 0.5
QT_QPA_PLATFORM=xcb QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 "$build/bench/practice/bench_pratica" --voz || rc=$?
kill "$lancador" 2>/dev/null || true
exit "${rc:-0}"
