#!/usr/bin/env bash
# Runs a command inside a headless Wayland compositor (sway, no screen, no input devices), with
# Qt's Wayland platform:  sob-sway.sh COMMAND [ARGS...]
# sway refuses to run as root, so as root it runs as an ordinary user made for it (tarvex-sway);
# the command itself runs as the caller and reaches the compositor's socket by its path.
# When the compositor cannot start, the command still runs, with TARVEX_SEM_WAYLAND saying
# why, so that a test can skip and say so. SOB_SWAY_LARGURA x SOB_SWAY_ALTURA: the screen
# (1280 x 1024 by default).
set -uo pipefail

motivo=
for programa in sway wtype; do
  command -v "$programa" >/dev/null || motivo="$motivo $programa"
done
compgen -G "/usr/lib/*/qt6/plugins/platforms/libqwayland-generic.so" >/dev/null || motivo="$motivo qt6-wayland"
if [ -n "$motivo" ]; then
  TARVEX_SEM_WAYLAND="sem Wayland: falta${motivo}" QT_QPA_PLATFORM=offscreen exec "$@"
fi

pasta=$(mktemp -d /tmp/sob-sway-XXXXXX)
chmod 755 "$pasta"
usuario=$(id -un)
como=()
if [ "$(id -u)" -eq 0 ]; then
  usuario=tarvex-sway
  id "$usuario" >/dev/null 2>&1 || useradd --system --no-create-home --home-dir /nonexistent \
    --shell /usr/sbin/nologin "$usuario" >/dev/null 2>&1
  como=(runuser -u "$usuario" --)
fi
mkdir -p "$pasta/run"
chown "$usuario" "$pasta/run" 2>/dev/null
chmod 700 "$pasta/run"
cat >"$pasta/config" <<EOF
output HEADLESS-1 resolution ${SOB_SWAY_LARGURA:-1280}x${SOB_SWAY_ALTURA:-1024}
default_border none
xwayland disable
EOF
chmod 644 "$pasta/config"

"${como[@]}" env -i PATH="$PATH" HOME="$pasta" XDG_RUNTIME_DIR="$pasta/run" WLR_BACKENDS=headless \
  WLR_LIBINPUT_NO_DEVICES=1 WLR_RENDERER=pixman sway -c "$pasta/config" >"$pasta/sway.log" 2>&1 &
sway=$!
trap 'kill $sway 2>/dev/null; wait $sway 2>/dev/null; rm -rf "$pasta"' EXIT

socket=
for _ in $(seq 100); do
  socket=$(ls "$pasta/run"/wayland-[0-9] 2>/dev/null | head -1)
  [ -n "$socket" ] && break
  kill -0 $sway 2>/dev/null || break
  sleep 0.05
done
if [ -z "$socket" ]; then
  export TARVEX_SEM_WAYLAND="sem Wayland: o sway não abriu ($(tail -1 "$pasta/sway.log"))" QT_QPA_PLATFORM=offscreen
else
  export WAYLAND_DISPLAY=$socket QT_QPA_PLATFORM=wayland
  unset DISPLAY
fi
"$@"
