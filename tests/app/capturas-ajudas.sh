#!/usr/bin/env bash
# Pictures of the windows at the larger text sizes, for a person to look at: the whole screen of
# Xvfb (1280x1024, no window manager) with the menu and each window at 150 % and 200 %, high
# contrast and the dyslexia font on.
#   bash tests/app/capturas-ajudas.sh BUILD [OUTPUT (default: BUILD/capturas-ajudas)]
# Not run by CTest.
set -euo pipefail
build=$(cd "${1:?pasta da compilação}" && pwd)
saida=${2:-$build/capturas-ajudas}
mkdir -p "$saida"
saida=$(cd "$saida" && pwd)
pasta=$(mktemp -d /tmp/capturas-ajudas-XXXXXX)
trap 'rm -rf "$pasta"' EXIT
. "$(dirname "$0")/../comum/pasta-de-trabalho.sh"
pasta_de_trabalho "$pasta" "$build"
export QT_QPA_PLATFORM=xcb

# Runs a program under a fresh Xvfb and takes the screen after it drew.
capturar() {
  local arquivo=$1; shift
  xvfb-run -a -s "-screen 0 1280x1024x24" bash -c '
    "$@" & programa=$!
    sleep 3
    import -window root "'"$arquivo"'"
    kill $programa; wait $programa 2>/dev/null || true' _ "$@"
}

for escala in 1.5 2; do
  nome=${escala/./}
  (cd "$build" && QT_SCALE_FACTOR=$escala capturar "$saida/menu-$nome.png" "$build/src/app/tarvex3")
  for janela in pratica config resultado cadastro editor exig turma relat grafico teclas recorde recordes ajuda; do
    QT_SCALE_FACTOR=$escala capturar "$saida/$janela-$nome.png" \
      "$build/tests/app/vitrine_ajudas" "$janela" contraste dislexia "tamanho=$([ "$escala" = 2 ] && echo 200 || echo 150)"
  done
done
# The text of the practice at 200 % in a program started at 100 %: the window grows around it.
capturar "$saida/pratica-texto200.png" "$build/tests/app/vitrine_ajudas" pratica tamanho=200
ls "$saida"
