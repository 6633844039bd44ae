# Sourced by the scripts that take pictures of the real program: pasta_de_trabalho PASTA BUILD
# makes PASTA the user's home (its data and configuration folders inside), puts the shipped
# tables of BUILD in the working folder, as on a later start, and gives sound no device.
pasta_de_trabalho() {
  local pasta=$1 build=$2 f
  export HOME=$pasta XDG_DATA_HOME=$pasta/dados XDG_CONFIG_HOME=$pasta/config LC_ALL=C.UTF-8
  mkdir -p "$XDG_DATA_HOME/qel99"
  printf 'pcm.!default { type null }\n' >"$HOME/.asoundrc"
  for f in Config.dbf LicaoA.dbf LicaoA.cdx LicaoA.fpt LicaoB.dbf LicaoB.cdx LicaoB.fpt \
           Recorde.dbf Relat.dbf Usuario.dbf; do
    cp "$build/data/Dados/$f" "$XDG_DATA_HOME/qel99/"
  done
}
