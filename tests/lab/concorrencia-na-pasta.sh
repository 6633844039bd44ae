#!/usr/bin/env bash
# Runs the many-computers test (tst_lab_concorrencia) with its tables in a folder of choice,
# for instance a Samba or NFS share mounted on this machine:
#   bash tests/lab/concorrencia-na-pasta.sh BUILD_DIR PASTA [opções do Qt Test]
# The test keeps its tables in a temporary folder made under TMPDIR, so the folder given here
# is where the thirty processes meet. Two mounts of one share can be compared this way with
# the same folder on local disk.
set -euo pipefail
if [ $# -lt 2 ]; then
  echo "uso: $0 PASTA_DA_COMPILACAO PASTA [opções do Qt Test]" >&2
  exit 2
fi
build=$1
pasta=$2
shift 2
teste="$build/tests/lab/tst_lab_concorrencia"
[ -x "$teste" ] || { echo "$teste não existe: compile antes" >&2; exit 2; }
[ -d "$pasta" ] && [ -w "$pasta" ] || { echo "$pasta não é uma pasta gravável" >&2; exit 2; }
TMPDIR="$pasta" QT_QPA_PLATFORM=offscreen exec "$teste" "$@"
