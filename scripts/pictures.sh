#!/usr/bin/env bash
# Draws the pictures of the README and docs/screens.md again: three demo sessions through
# `chequepdv --pictures`, of which five screens are kept in docs/pictures/.
#   scripts/pictures.sh            into docs/pictures/
#   scripts/pictures.sh DIR        into DIR instead (the sessions' own files stay in DIR/runs/)
# The build directory is build/ (or $CHEQUE_BUILD_DIR). The dates on the screens are today's.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
builddir=${CHEQUE_BUILD_DIR:-$here/build}
dest=${1:-$here/docs/pictures}

if [ ! -f "$builddir/build.ninja" ]; then
  cmake -S "$here" -B "$builddir" -G Ninja >/dev/null
fi
cmake --build "$builddir" --target chequepdv cheque >/dev/null

runs=$(mktemp -d)
[ $# -gt 0 ] && runs=$dest/runs && rm -rf "$runs"
mkdir -p "$dest" "$runs"
# run NAME DIR SCRIPT [OPTION...]: one session, its pictures in $runs/NAME/
run() {
  local name=$1 dir=$2 script=$3
  shift 3
  "$builddir/bin/chequepdv" --dir "$here/$dir" --messages "$here/share/demo/mensagens.txt" \
    --store "$runs/$name.txt" --transcript "$runs/$name.jsonl" --pictures "$runs/$name" \
    --script "$here/share/demo/$script" "$@" consulta >/dev/null
}
run consulta70 share/demo consulta70-varios.script \
  --scenario "$here/share/demo/cenario-consulta70.ini" --set 1003-0=30000
run consulta72 share/demo/codigos consulta72-digitada.script \
  --scenario "$here/share/demo/cenario.ini"
run garantia7c share/demo/codigos garantia7c.script
cp "$runs/consulta70/001-FrmRedes_Mnu.svg" "$dest/menu.svg"
cp "$runs/consulta70/003-FrmCon_Con.svg" "$dest/consulta70.svg"
cp "$runs/consulta70/004-FrmMult_Chq.svg" "$dest/varios-cheques.svg"
cp "$runs/consulta72/004-FrmImprime_Mod.svg" "$dest/resultado.svg"
cp "$runs/garantia7c/002-FrmGarChq_7C.svg" "$dest/garantia7c.svg"
# The pictures are written owner-only (a screen may show a customer's data); these are the
# demo's and are published.
chmod 644 "$dest"/{menu,consulta70,varios-cheques,resultado,garantia7c}.svg
[ $# -gt 0 ] || rm -rf "$runs"
echo "pictures in $dest"
