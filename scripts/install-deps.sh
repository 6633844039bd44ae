#!/usr/bin/env bash
# Installs, with apt-get, the Debian 12 packages that building, running and testing Tarvex 3 need.
# Idempotent: only packages that are missing are installed.
set -euo pipefail

PACKAGES=(
  # build
  build-essential cmake ninja-build pkg-config clang libclang-rt-14-dev ccache
  # the picture generator writes its PNG files itself
  zlib1g-dev
  # Qt 6 (Widgets, PrintSupport, Test) and translations
  qt6-base-dev libqt6opengl6-dev qt6-translations-l10n
  # the keyboard's lock lights (XKB)
  libx11-dev
  # sounds and music (ALSA, FluidSynth), fonts
  libasound2-dev libfluidsynth-dev timgm6mb-soundfont fonts-liberation2 fonts-dejavu-core
  # the font offered to students with dyslexia
  fonts-opendyslexic
  # tests, screenshots and independent readers of the table files
  xvfb xauth xdotool x11-utils poppler-utils imagemagick
  # the keystroke-to-screen benchmark (X test extension and damage reports)
  libxcb-xtest0-dev libxcb-damage0-dev
  # native Wayland: Qt's platform, a headless compositor, its keyboard and its screenshots
  qt6-wayland sway wtype grim
  python3 python3-dbfread python3-dbf libdbd-xbase-perl pgdbf
  # independent reader of the exported spreadsheets (.ods)
  python3-odf
  # comparison library for the engine benchmark
  libxbase64-dev
  # screen reader and voice: the accessibility bus (test), speech-dispatcher with the
  # Portuguese (Brazil) voice of espeak-ng
  dbus at-spi2-core python3-pyatspi libspeechd-dev speech-dispatcher speech-dispatcher-espeak-ng espeak-ng
  # the Debian package and the tools that check it
  dpkg-dev lintian desktop-file-utils appstream
)

missing=()
for p in "${PACKAGES[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

echo "Instalando pacotes que faltam: ${missing[*]}"
SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -qq
$SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
