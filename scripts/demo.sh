#!/usr/bin/env bash
# Installs what is missing, builds the release tree and runs the MOST network
# on a desk: the simulated MOST server and a small FBlock application run as
# separate processes, and the command-line tool mostcall asks the FBlock for
# its function IDs, its version and more, printing the answers in MOST spy
# format. Everything started here is stopped here.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
# ZV_DEMO_BUILD names an existing build tree to run instead (no build).
bin=${ZV_DEMO_BUILD:-build/release}
if [ -z "${ZV_DEMO_BUILD:-}" ]; then
  bash scripts/install-deps.sh
  bash scripts/build.sh build/release -DCMAKE_BUILD_TYPE=RelWithDebInfo
fi

server=$bin/tools/mostsim/mostsim
fblock=$bin/examples/demo_fblock/demo_fblock
call=$bin/tools/mostcall/mostcall
# Our own middleware namespace, so that the demo meets no other MOST server.
export ZV_QRVI_NAMESPACE="demo-$$"
logs=$(mktemp -d /tmp/zv_most_demo_XXXXXX)
pids=()
cleanup() {
  for pid in "${pids[@]}"; do kill -TERM "$pid" 2>/dev/null || true; done
  for pid in "${pids[@]}"; do wait "$pid" 2>/dev/null || true; done
  rm -rf "$logs"
}
trap cleanup EXIT

echo "== MOST server (simulated node 0x0100, a remote node 0x0200 with FBlock 0x3101)"
printf 'node-id 0x0100\nremote 0x0200 0x3101\n' >"$logs/mostsim.conf"
"$server" --config "$logs/mostsim.conf" >"$logs/server.log" 2>&1 &
pids+=($!)
echo "== FBlock application (FBlock 0x22, instance 1)"
"$fblock" --fblock 0x2201 >"$logs/fblock.log" 2>&1 &
pids+=($!)
for _ in $(seq 100); do grep -q "active" "$logs/fblock.log" 2>/dev/null && break; sleep 0.05; done
cat "$logs/server.log" "$logs/fblock.log"

run() {
  echo
  echo "== mostcall $*"
  "$call" "$@" || echo "(mostcall ended with status $?)"
}
run 0x2201 0x000 Get              # FktIDs
run 0x2201 0x010 Get              # Version
run 0x2201 0x002 Get 0x01 0x00    # NotificationCheck for device 0x0100
run 0x2201 0x400 Set 20           # Volume
run 0x2201 0x401 Get              # Greeting: longer than a control message, sent in segments
run 0x2201 0x123 Get              # no such function: Error 0x03
run 0x3101 0x000 Get              # FBlock of a node nobody simulates: the transmission fails
