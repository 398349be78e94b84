#!/usr/bin/env bash
# The demo: the reference host program `chequepdv` loading the module and running a cheque
# consultation session on the demo configuration, then showing what the point of sale received.
#   scripts/demo.sh                 share/demo: the network menu and the consultations
#   scripts/demo.sh cancelamento    share/demo/cancelamento: guarantees and their cancellations
# The build directory is build/ (or $CHEQUE_BUILD_DIR); the transaction file, the transcript and
# the audit trail go to out/demo/.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
builddir=${CHEQUE_BUILD_DIR:-$here/build}

case "${1:-}" in
  "") dir=$here/share/demo; script=$dir/consulta.script ;;
  cancelamento) dir=$here/share/demo/cancelamento; script=$dir/cancelamento.script ;;
  *) echo "usage: scripts/demo.sh [cancelamento]" >&2; exit 2 ;;
esac

"$here/scripts/deps.sh"
if [ ! -f "$builddir/build.ninja" ]; then
  cmake -S "$here" -B "$builddir" -G Ninja >/dev/null
fi
cmake --build "$builddir" --target chequepdv cheque >/dev/null

out=$here/out/demo
mkdir -p "$out"
rm -f "$out/transacao.txt" "$out/sessao.jsonl"
exec "$builddir/bin/chequepdv" --dir "$dir" --messages "$here/share/demo/mensagens.txt" \
  --scenario "$here/share/demo/cenario.ini" --store "$out/transacao.txt" \
  --transcript "$out/sessao.jsonl" --audit "$out/audit.txt" --script "$script" consulta
