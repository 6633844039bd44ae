#!/usr/bin/env bash
# Figures of the main menu under Xvfb (1280 x 1024), a later start (the tables already in the
# work folder):
#  - memory: RSS and PSS of the program's process tree 3 s after the menu window shows, with
#    music on and with music off;
#  - start-up: time from the start to the first visible menu window, in one interleaved run of
#    N starts each of Tarvex and TIPP10, and the ratio of the medians. TIPP10 (Debian package
#    tipp10) is installed with apt-get when missing: it is only the yardstick.
# The music plays to ALSA's null output, as it would to a sound card.
# The moment a window is mapped comes from janela_mapeada (built with the benchmarks), which
# waits for the X server's map event instead of polling, so the measuring takes no processor
# from the start it measures. Tarvex's time runs to its menu (its splash bears the same title
# but is smaller); TIPP10's first window on a later start is its introduction, so its time runs
# to any window (nothing else maps windows on this private display).
# Usage: bash bench/menu/medir-menu.sh [build folder (default: build)] [starts (default: 7)]
# TARVEX_PROGRAMA=path measures another tarvex3 binary with the same build's data.
# MEDIR_XDOTOOL=1 finds the windows by polling with xdotool every 5 ms instead, as the first
# versions of this script did (for comparison with older figures).
# MEDIR_SO_MEMORIA=1 skips the start-up part; MEDIR_REPETICOES=N measures the memory N times
# (the median is printed); MEDIR_MAPAS=file appends the menu's mappings grouped by
# what they map, in kB of RSS, to that file; MEDIR_RODADAS=N repeats the interleaved start-up
# run N times and prints the median of the ratios. The machine's load average is printed with
# each figure: other work on the machine slows both programs, not always alike.
set -euo pipefail
raiz=$(cd "$(dirname "$0")/../.." && pwd)
build=$(cd "${1:-$raiz/build}" && pwd)
partidas=${2:-7}
programa=${TARVEX_PROGRAMA:-$build/src/app/tarvex3}
[ -x "$programa" ] || { echo "falta $programa: compile antes" >&2; exit 1; }
observador=$build/bench/menu/janela_mapeada
[ -x "$observador" ] || { echo "falta $observador: compile antes" >&2; exit 1; }
if ! command -v tipp10 >/dev/null || [ ! -e /usr/share/doc/libqt6sql6-sqlite ]; then
  DEBIAN_FRONTEND=noninteractive apt-get install -y tipp10 libqt6sql6-sqlite >/dev/null
fi

pasta=$(mktemp -d /tmp/medir-menu-XXXXXX)
export HOME=$pasta/casa
export XDG_DATA_HOME=$HOME/.local/share XDG_CONFIG_HOME=$HOME/.config XDG_RUNTIME_DIR=$pasta/run
mkdir -p "$XDG_DATA_HOME/qel99" "$XDG_RUNTIME_DIR"
chmod 700 "$XDG_RUNTIME_DIR"
printf 'pcm.!default { type null }\n' >"$HOME/.asoundrc"
for f in Config.dbf LicaoA.dbf LicaoA.cdx LicaoA.fpt LicaoB.dbf LicaoB.cdx LicaoB.fpt \
         Recorde.dbf Relat.dbf Usuario.dbf; do
  cp "$build/data/Dados/$f" "$XDG_DATA_HOME/qel99/"
done

# A display number well above those xvfb-run -a hands out, free of lock files.
tela=90
while [ -e "/tmp/.X$tela-lock" ] || [ -e "/tmp/.X11-unix/X$tela" ]; do tela=$((tela + 1)); done
Xvfb ":$tela" -screen 0 1280x1024x24 -nolisten tcp -noreset 2>/dev/null &
xvfb=$!
trap 'kill $xvfb 2>/dev/null; rm -rf "$pasta"' EXIT
while [ ! -e "/tmp/.X11-unix/X$tela" ]; do sleep 0.05; done
export DISPLAY=:$tela

# Music on or off: the MUSICA field (second field) of the one record of Config.dbf.
musica() {
  local cabecalho
  cabecalho=$(od -An -tu2 -j8 -N2 "$XDG_DATA_HOME/qel99/Config.dbf" | tr -d ' ')
  printf '%s' "$1" | dd of="$XDG_DATA_HOME/qel99/Config.dbf" bs=1 seek=$((cabecalho + 2)) conv=notrunc 2>/dev/null
}

# Waits for a visible window (xdotool search arguments) at least min_width wide (Tarvex's
# splash screen bears the program's name too). Fails after $espera seconds.
espera=30
esperar_janela() {
  local largura_minima=$1 limite=$((SECONDS + espera)) w
  shift
  while [ $SECONDS -lt $limite ]; do
    for w in $(xdotool search --onlyvisible "$@" 2>/dev/null); do
      eval "$(xdotool getwindowgeometry --shell "$w" 2>/dev/null)" || continue
      [ "${WIDTH:-0}" -ge "$largura_minima" ] && return 0
    done
    sleep 0.005
  done
  return 1
}

# Starts watching for the window of "tarvex" or "tipp10" to be mapped; janela then waits for it.
observar() {
  rm -f "$pasta/mapeada"
  if [ -n "${MEDIR_XDOTOOL:-}" ]; then return 0; fi
  if [ "$1" = tarvex ]; then
    timeout "$espera" "$observador" 1000 'Tarvex 3' >"$pasta/mapeada" &
  else
    timeout "$espera" "$observador" 1 >"$pasta/mapeada" &
  fi
  observando=$!
  until [ -s "$pasta/mapeada" ]; do sleep 0.01; done
}

iniciar() {  # programa: tarvex | tipp10; sets $pid and $inicio, the moment it was started
  observar "$1"
  inicio=$(agora)
  if [ "$1" = tarvex ]; then
    (cd "$build/data" && exec "$programa") >>"$pasta/tarvex.log" 2>&1 &
  else
    tipp10 >>"$pasta/tipp10.log" 2>&1 &
  fi
  pid=$!
}

# Waits for the window; with the observer, $mapeada_em is the moment it was mapped.
janela() {
  if [ -n "${MEDIR_XDOTOOL:-}" ]; then
    if [ "$1" = tarvex ]; then esperar_janela 1000 --name '^Tarvex 3$' || return 1
    else esperar_janela 1 --pid "$pid" || return 1; fi
    mapeada_em=$(agora)
    return 0
  fi
  wait "$observando" || return 1
  mapeada_em=$(sed -n 2p "$pasta/mapeada")
  [ -n "$mapeada_em" ]
}

encerrar() {
  kill "$pid" 2>/dev/null || true
  wait "$pid" 2>/dev/null || true
}

arvore() {  # the process and its descendants
  local p=$1 filho
  echo "$p"
  for filho in $(pgrep -P "$p" || true); do arvore "$filho"; done
}

memoria() {  # "RSS PSS" in MB of the tree of $pid
  local rss=0 pss=0 p
  for p in $(arvore "$pid"); do
    rss=$((rss + $(awk '/^Rss:/ {print $2}' "/proc/$p/smaps_rollup" 2>/dev/null || echo 0)))
    pss=$((pss + $(awk '/^Pss:/ {print $2}' "/proc/$p/smaps_rollup" 2>/dev/null || echo 0)))
  done
  awk -v r="$rss" -v p="$pss" 'BEGIN { printf "%.1f MB RSS, %.1f MB PSS", r / 1024, p / 1024 }'
}

agora() { date +%s%N; }

carga() { cut -d' ' -f1 /proc/loadavg; }

mediana() { sort -n | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }

# A first start of each, not counted: TIPP10 makes its database, caches warm up.
espera=300
for p in tarvex tipp10; do
  iniciar $p
  janela $p || { echo "$p: a janela não apareceu" >&2; tail -12 "$pasta/$p.log" >&2; exit 1; }
  sleep 1
  encerrar
done
espera=30

mapas() {  # RSS in kB of the menu's mappings, grouped by what they map
  local p
  for p in $(arvore "$pid"); do
    awk '/^[0-9a-f]+-[0-9a-f]+ / { n = ($6 == "") ? "[anônima]" : $6; sub(/.*\//, "", n) }
         /^Rss:/ { s[n] += $2 } END { for (n in s) if (s[n] > 0) print s[n], n }' "/proc/$p/smaps"
  done | sort -rn
}

repeticoes=${MEDIR_REPETICOES:-1}
echo "Memória do menu 3 s depois de a janela aparecer (Xvfb 1280x1024), mediana de $repeticoes (carga $(carga)):"
for m in T F; do
  musica "$m"
  : >"$pasta/rss"
  : >"$pasta/pss"
  for ((i = 1; i <= repeticoes; i++)); do
    iniciar tarvex
    janela tarvex || { echo "tarvex: a janela não apareceu" >&2; tail -12 "$pasta/tarvex.log" >&2; exit 1; }
    sleep 3
    read -r rss _ _ pss _ <<<"$(memoria)"
    echo "$rss" >>"$pasta/rss"
    echo "$pss" >>"$pasta/pss"
    if [ -n "${MEDIR_MAPAS:-}" ]; then echo "== música $m" >>"$MEDIR_MAPAS"; mapas >>"$MEDIR_MAPAS"; fi
    encerrar
  done
  printf '  música %-9s %s MB RSS, %s MB PSS\n' "$([ $m = T ] && echo ligada || echo desligada)" \
    "$(mediana <"$pasta/rss")" "$(mediana <"$pasta/pss")"
done
musica T
[ -n "${MEDIR_SO_MEMORIA:-}" ] && exit 0

rodadas=${MEDIR_RODADAS:-1}
echo "Tempo até a primeira janela visível, $partidas partidas alternadas (música ligada):"
: >"$pasta/razoes"
for ((r = 1; r <= rodadas; r++)); do
  : >"$pasta/tarvex"
  : >"$pasta/tipp10"
  carga_inicio=$(carga)
  for ((i = 1; i <= partidas; i++)); do
    for p in tarvex tipp10; do
      iniciar $p
      janela $p || { echo "  $p: janela não apareceu" >&2; tail -12 "$pasta/$p.log" >&2; exit 1; }
      echo $(( (mapeada_em - inicio) / 1000 )) >>"$pasta/$p"
      encerrar
      sleep 0.3
    done
  done
  t=$(mediana <"$pasta/tarvex")
  k=$(mediana <"$pasta/tipp10")
  awk -v t="$t" -v k="$k" 'BEGIN { printf "%.4f\n", t / k }' >>"$pasta/razoes"
  awk -v t="$t" -v k="$k" -v c="$carga_inicio → $(carga)" 'BEGIN {
    printf "  Tarvex %.3f s, TIPP10 %.3f s (medianas); razão Tarvex/TIPP10 %.2f (carga %s)\n", t / 1e6, k / 1e6, t / k, c }'
done
if [ "$rodadas" -gt 1 ]; then
  printf '  razão mediana de %s rodadas: %.2f\n' "$rodadas" "$(mediana <"$pasta/razoes")"
fi
