#!/usr/bin/env bash
# The menu as a screen reader meets it over the accessibility bus: a private X server, a
# private session bus with the AT-SPI bus on it, the program, and menu_leitor.py reading it.
# Usage: menu_leitor.sh <tarvex3> <data folder>. Exit 77 (skipped) where the bus cannot start.
set -u
programa=$1
dados=$2
aqui=$(cd "$(dirname "$0")" && pwd)

if [ "${DENTRO_DA_SESSAO:-}" != 1 ]; then
  for f in xvfb-run dbus-run-session xdotool; do
    command -v "$f" >/dev/null || { echo "SKIP: falta $f"; exit 77; }
  done
  [ -x /usr/libexec/at-spi-bus-launcher ] || { echo "SKIP: falta at-spi2-core"; exit 77; }
  /usr/bin/python3 -c 'import pyatspi' 2>/dev/null || { echo "SKIP: falta python3-pyatspi"; exit 77; }
  tmp=$(mktemp -d)
  trap 'rm -rf "$tmp"' EXIT
  mkdir -m 700 "$tmp/run"
  mkdir "$tmp/trabalho"
  cp "$dados"/Dados/* "$tmp/trabalho/"  # a working folder already filled: no first-run question
  # No music: without a sound card its failure would open a message box at an unknown moment.
  /usr/bin/python3 -c 'import dbf, sys
t = dbf.Table(sys.argv[1]); t.open(dbf.READ_WRITE)
for r in t:
    with r: r.musica = False
t.close()' "$tmp/trabalho/Config.dbf" || exit 1
  export TMP_LEITOR=$tmp DENTRO_DA_SESSAO=1
  xvfb-run -a -s "-screen 0 1280x1024x24" dbus-run-session -- bash "$0" "$programa" "$dados"
  exit $?
fi

export XDG_RUNTIME_DIR=$TMP_LEITOR/run
/usr/libexec/at-spi-bus-launcher --launch-immediately &
lancador=$!
sleep 0.5
if ! kill -0 "$lancador" 2>/dev/null; then echo "SKIP: o barramento de acessibilidade não iniciou"; exit 77; fi
cd "$dados" || exit 1
QT_QPA_PLATFORM=xcb QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 TARVEX3_PASTA_DADOS=$TMP_LEITOR/trabalho \
  "$programa" &
tarvex=$!
/usr/bin/python3 "$aqui/menu_leitor.py"
rc=$?
kill "$tarvex" "$lancador" 2>/dev/null
wait "$tarvex" 2>/dev/null
exit $rc
