#!/usr/bin/env bash
# Keystroke to screen: the time from a key pressed (through the X test extension) to the first
# change of the practice window's pixels the X server reports (XDamage), over the keys of a
# shipped lesson, under Xvfb with no window manager and no compositor. Prints the machine, the
# median and the 99th percentile (targets: median <= 3 ms, p99 <= 8 ms).
# Usage: bash bench/tela/medir-tecla-tela.sh [build folder (default: build)] [keys (default: 500)] [abnt2|eua]
set -euo pipefail
raiz=$(cd "$(dirname "$0")/../.." && pwd)
build=$(cd "${1:-$raiz/build}" && pwd)
teclas=${2:-500}
teclado=${3:-abnt2}
pratica=$build/bench/tela/pratica_aberta
medidor=$build/bench/tela/tecla_na_tela
for p in "$pratica" "$medidor"; do [ -x "$p" ] || { echo "falta $p: compile antes" >&2; exit 1; }; done

pasta=$(mktemp -d /tmp/tecla-tela-XXXXXX)
export XDG_RUNTIME_DIR=$pasta/run QT_QPA_PLATFORM=xcb LC_ALL=C.UTF-8
mkdir -p "$XDG_RUNTIME_DIR" && chmod 700 "$XDG_RUNTIME_DIR"

# A display number well above those xvfb-run -a hands out, free of lock files.
tela=95
while [ -e "/tmp/.X$tela-lock" ] || [ -e "/tmp/.X11-unix/X$tela" ]; do tela=$((tela + 1)); done
Xvfb ":$tela" -screen 0 1280x1024x24 -nolisten tcp -noreset 2>/dev/null &
xvfb=$!
pid_pratica=
trap '[ -n "$pid_pratica" ] && kill $pid_pratica 2>/dev/null; kill $xvfb 2>/dev/null; rm -rf "$pasta"' EXIT
while [ ! -e "/tmp/.X11-unix/X$tela" ]; do sleep 0.05; done
export DISPLAY=:$tela

"$pratica" "$teclas" "$teclado" >"$pasta/teclas" 2>"$pasta/erros" &
pid_pratica=$!
limite=$((SECONDS + 30))
until [ "$(wc -l <"$pasta/teclas")" -gt "$teclas" ]; do
  kill -0 $pid_pratica 2>/dev/null && [ $SECONDS -lt $limite ] || { cat "$pasta/erros" >&2; exit 1; }
  sleep 0.1
done

echo "máquina: $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2 | sed 's/^ *//'), $(nproc) núcleos," \
     "carga $(cut -d' ' -f1-3 /proc/loadavg); Xvfb 1280x1024, sem gerenciador de janelas nem compositor"
echo "lição: $teclas teclas de uma lição de Textos, teclado $teclado, guia do teclado ligado"
tail -n +2 "$pasta/teclas" | "$medidor" "$(head -1 "$pasta/teclas")"
[ -n "${MEDIR_CAPTURA:-}" ] && import -window root "$MEDIR_CAPTURA"
