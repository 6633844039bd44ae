#!/usr/bin/env bash
# Pictures of the real program for a person to compare, under X11 (Xvfb, no window manager) and
# under Wayland (a headless sway): the main menu, the student registration over it, a message box
# over it (the question asked when the menu is closed) and the practice window in a lesson.
#   bash tests/app/capturas-x11-wayland.sh BUILD [OUTPUT (default: BUILD/capturas-x11-wayland)]
# Not run by CTest. Writes x11-menu.png, x11-cadastro.png, x11-mensagem.png, x11-pratica.png and
# the same with wayland-.
set -euo pipefail
raiz=$(cd "$(dirname "$0")/../.." && pwd)
dentro_do_sway=
if [ "${1:-}" = --wayland ]; then dentro_do_sway=1; shift; fi
build=$(cd "${1:?pasta da compilação}" && pwd)
saida=${2:-$build/capturas-x11-wayland}
mkdir -p "$saida"
saida=$(cd "$saida" && pwd)
. "$raiz/tests/comum/pasta-de-trabalho.sh"


# Inside one display system: the program on a later start (its tables already in the working
# folder, no music device), then the practice window of the benchmark.
capturar_sessao() {
  local nome=$1 pasta
  pasta=$(mktemp -d /tmp/capturas-XXXXXX)
  pasta_de_trabalho "$pasta" "$build"
  (cd "$build" && exec "$build/src/app/tarvex3") &
  local programa=$!
  sleep 3
  foto "$saida/$nome-menu.png"
  teclar Tab Return  # the student registration, modal over the menu
  sleep 1.5
  foto "$saida/$nome-cadastro.png"
  teclar Escape
  sleep 1
  fechar
  sleep 1.5
  foto "$saida/$nome-mensagem.png"
  kill $programa
  wait $programa 2>/dev/null || true
  "$build/bench/tela/pratica_aberta" 60 >/dev/null &
  programa=$!
  sleep 3
  foto "$saida/$nome-pratica.png"
  kill $programa
  wait $programa 2>/dev/null || true
  rm -rf "$pasta"
}

if [ -n "$dentro_do_sway" ]; then
  export SWAYSOCK
  SWAYSOCK=$(ls "$(dirname "$WAYLAND_DISPLAY")"/sway-ipc.* | head -1)
  foto() { grim "$1"; }
  # wtype loses a first key sent before the compositor took its keymap: a pause first.
  teclar() { for t in "$@"; do wtype -s 150 -k "$t"; sleep 0.2; done; }
  # The compositor has no pointer here: it asks the focused window to close.
  fechar() { swaymsg -q kill; }
  capturar_sessao wayland
  exit 0
fi

# X11
tela=97
while [ -e "/tmp/.X$tela-lock" ] || [ -e "/tmp/.X11-unix/X$tela" ]; do tela=$((tela + 1)); done
Xvfb ":$tela" -screen 0 1280x1024x24 -nolisten tcp 2>/dev/null &
xvfb=$!
while [ ! -e "/tmp/.X11-unix/X$tela" ]; do sleep 0.05; done
(
  export DISPLAY=:$tela QT_QPA_PLATFORM=xcb XDG_RUNTIME_DIR
  XDG_RUNTIME_DIR=$(mktemp -d /tmp/capturas-run-XXXXXX)
  foto() { import -window root "$1"; }
  # No window manager to ask: a click on the exit button (the panel of 632 x 453 is centred on
  # the 1280 x 1024 screen).
  fechar() { xdotool mousemove 817 648 click 1; }
  teclar() { xdotool key --delay 200 "$@"; }
  capturar_sessao x11
  rm -rf "$XDG_RUNTIME_DIR"
)
kill $xvfb

# Wayland: this script again, inside the compositor.
XDG_RUNTIME_DIR=$(mktemp -d /tmp/capturas-run-XXXXXX)
export XDG_RUNTIME_DIR
bash "$raiz/tests/comum/sob-sway.sh" bash "$0" --wayland "$build" "$saida"
rm -rf "$XDG_RUNTIME_DIR"
echo "capturas em $saida"
