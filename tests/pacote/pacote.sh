#!/usr/bin/env bash
# Builds the Debian package from an already built tree and checks what is inside it:
#   pacote.sh <build folder> <source folder> <output folder>
# Exits 77 (skipped) when the Debian tools are missing.
set -uo pipefail
build=$1 fontes=$2 saida=$3

for ferramenta in cpack dpkg-deb dpkg-shlibdeps; do
  if ! command -v "$ferramenta" >/dev/null; then
    echo "pacote: '$ferramenta' não está instalado; teste pulado (bash scripts/install-deps.sh instala)"
    exit 77
  fi
done

falhas=0
falha() { echo "FALHA: $*"; falhas=$((falhas + 1)); }

rm -rf "$saida" && mkdir -p "$saida"
if ! cpack --config "$build/CPackConfig.cmake" -G DEB -B "$saida" >"$saida/cpack.log" 2>&1; then
  cat "$saida/cpack.log"
  echo "FALHA: cpack não fez o pacote"
  exit 1
fi
shopt -s nullglob
pacotes=("$saida"/tarvex3_*_amd64.deb)
if [ ${#pacotes[@]} -ne 1 ]; then
  echo "FALHA: esperado um tarvex3_<versão>_amd64.deb em $saida, há ${#pacotes[@]}"
  exit 1
fi
deb=${pacotes[0]}
echo "pacote: $(basename "$deb"), $(stat -c %s "$deb") bytes"

# --- Contents --------------------------------------------------------------------------------
dpkg-deb -c "$deb" | sed -E 's/ -> .*$//' | awk '{print $NF}' | sed 's#^\./#/#' >"$saida/conteudo.txt"
tem() { grep -qxF "$1" "$saida/conteudo.txt" || falha "falta $1 no pacote"; }

tem /usr/bin/tarvex3
tem /usr/bin/xbtool
# Every file of the data tree the build made (tables, songs, help book, pictures).
while IFS= read -r arquivo; do
  tem "/usr/share/tarvex3/${arquivo#"$build/data/"}"
done < <(find "$build/data" -type f | sort)
# The tables the first start copies to the student's folder, whatever the build made.
for tabela in Config.dbf LicaoA.dbf LicaoA.cdx LicaoA.fpt LicaoB.dbf LicaoB.cdx LicaoB.fpt \
              Recorde.dbf Relat.dbf Usuario.dbf Exigen.dbf; do
  tem "/usr/share/tarvex3/Dados/$tabela"
done
musicas=$(ls "$fontes"/assets/songs/[0-9][0-9]-*.txt | wc -l)
for ((n = 1; n <= musicas; n++)); do tem "/usr/share/tarvex3/som/QEL$n.MID"; done
tem /usr/share/tarvex3/ajuda/index.html
tem /usr/share/applications/tarvex3.desktop
metainfo=$(grep -m1 '^/usr/share/metainfo/.*\.metainfo\.xml$' "$saida/conteudo.txt") || falha "falta o metainfo"
for lado in 16 22 24 32 48 64 128 256; do tem "/usr/share/icons/hicolor/${lado}x${lado}/apps/tarvex3.png"; done
tem /usr/share/man/man1/xbtool.1.gz
tem /usr/share/man/man1/tarvex3.1.gz
tem /usr/share/doc/tarvex3/copyright
tem /usr/share/doc/tarvex3/COPYING
tem /usr/share/doc/tarvex3/changelog.gz
grep -v '^/usr/' "$saida/conteudo.txt" && falha "arquivos fora de /usr"

# --- Control data ----------------------------------------------------------------------------
depende=$(dpkg-deb -f "$deb" Depends)
for pacote in libqt6widgets6 libasound2 libfluidsynth3 timgm6mb-soundfont fonts-liberation2; do
  [[ ",$depende," == *[\ ,]$pacote[\ ,\(]* ]] || falha "Depends não tem $pacote: $depende"
done
[[ "$(dpkg-deb -f "$deb" Recommends)" == *qt6-wayland* ]] || falha "Recommends não tem qt6-wayland"
# No maintainer scripts: removing the package leaves every user's working folder alone.
dpkg-deb -I "$deb" | grep -E '^ +[0-9]+ bytes, +[0-9]+ lines +\*? *(pre|post)(inst|rm)' \
  && falha "o pacote tem scripts de instalação ou remoção"

# --- Desktop checks, with the tools made for them when present ------------------------------
dpkg-deb -x "$deb" "$saida/raiz"

# --- Licence ---------------------------------------------------------------------------------
# A machine-readable copyright file that names the licence of every part, the licence's text
# (the one the system carries) and the licence in the software-centre entry.
doc="$saida/raiz/usr/share/doc/tarvex3"
head -1 "$doc/copyright" | grep -qxF 'Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/' \
  || falha "o copyright não está no formato legível por máquina (DEP-5)"
grep -qx 'License: GPL-3+' "$doc/copyright" || falha "o copyright não tem o parágrafo da GPL-3+"
for parte in 'assets/dados/\*' 'assets/songs/\*' 'assets/media/\*' 'assets/help/\*'; do
  grep -q "^Files: .*$parte" "$doc/copyright" || falha "o copyright não diz a licença de $parte"
done
[ "$(readlink "$doc/COPYING")" = ../../common-licenses/GPL-3 ] || falha "COPYING não leva ao texto da GPL-3"
if [ -n "${metainfo:-}" ] && ! grep -q '<project_license>GPL-3.0-or-later</project_license>' "$saida/raiz$metainfo"; then
  falha "o metainfo não diz a licença do programa"
fi
if command -v desktop-file-validate >/dev/null; then
  desktop-file-validate "$saida/raiz/usr/share/applications/tarvex3.desktop" || falha "desktop-file-validate"
else
  echo "pacote: desktop-file-validate ausente, entrada do menu não validada"
fi
if command -v appstreamcli >/dev/null && [ -n "${metainfo:-}" ]; then
  appstreamcli validate --no-net "$saida/raiz$metainfo" || falha "appstreamcli validate"
else
  echo "pacote: appstreamcli ausente, metainfo não validado"
fi
if command -v man >/dev/null; then
  for pagina in xbtool tarvex3; do
    [ -f "$saida/raiz/usr/share/man/man1/$pagina.1.gz" ] || continue
    avisos=$(MANWIDTH=80 man --warnings -l "$saida/raiz/usr/share/man/man1/$pagina.1.gz" 2>&1 >/dev/null)
    [ -z "$avisos" ] || falha "página de manual $pagina: $avisos"
  done
fi
if command -v lintian >/dev/null; then
  lintian --allow-root "$deb" >"$saida/lintian.txt" 2>&1
  cat "$saida/lintian.txt"
  grep -q '^[EW]: ' "$saida/lintian.txt" && falha "lintian achou erros ou avisos"
else
  echo "pacote: lintian ausente, pacote não verificado por ele"
fi

if [ "$falhas" -ne 0 ]; then
  echo "$falhas falha(s)"
  exit 1
fi
echo "pacote: tudo certo"
