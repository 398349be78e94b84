#!/usr/bin/env bash
# The demo: the reference host program `chequepdv` loading the module and running a cheque
# consultation session on the demo configuration, then showing what the point of sale received.
#   scripts/demo.sh                 share/demo: the network menu and the consultations
#   scripts/demo.sh cancelamento    share/demo/cancelamento: guarantees and their cancellations
#                                   (the bundled session cancels a guarantee of a typed cheque)
# On a terminal the screens are interactive (you are the operator); elsewhere, or with
# --script, the bundled operator script plays the operator.
# The build directory is build/ (or $CHEQUE_BUILD_DIR); the transaction file, the transcript and
# the audit trail go to out/demo/.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
builddir=${CHEQUE_BUILD_DIR:-$here/build}

interactive=no
[ -t 0 ] && [ -t 1 ] && interactive=yes
which=consulta
for arg in "$@"; do
  case "$arg" in
    --script) interactive=no ;;
    cancelamento) which=cancelamento ;;
    *) echo "usage: scripts/demo.sh [--script] [cancelamento]" >&2; exit 2 ;;
  esac
done
if [ "$which" = cancelamento ]; then
  dir=$here/share/demo/cancelamento; script=$dir/garantia-digitada.script
  scenario=$dir/cenario.ini
else
  dir=$here/share/demo; script=$dir/consulta.script
  scenario=$dir/cenario.ini
fi
operator=(--script "$script")
[ "$interactive" = yes ] && operator=()

"$here/scripts/deps.sh"
if [ ! -f "$builddir/build.ninja" ]; then
  cmake -S "$here" -B "$builddir" -G Ninja >/dev/null
fi
cmake --build "$builddir" --target chequepdv cheque >/dev/null

out=$here/out/demo
mkdir -p "$out"
rm -f "$out/transacao.txt" "$out/sessao.jsonl"
exec "$builddir/bin/chequepdv" --dir "$dir" --messages "$here/share/demo/mensagens.txt" \
  --scenario "$scenario" --store "$out/transacao.txt" \
  --transcript "$out/sessao.jsonl" --audit "$out/audit.txt" "${operator[@]}" consulta
