#!/usr/bin/env bash
# Installs what is missing, builds the release tree and runs the platform
# demo: a worker thread posting events to the main thread, timers firing
# once and repeatedly, and the trace output of both. While it runs, its
# trace commands are called through the zvtrace tool.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
bash scripts/install-deps.sh
bash scripts/build.sh build/release -DCMAKE_BUILD_TYPE=RelWithDebInfo

demo=build/release/examples/platform_demo/platform_demo
tool=build/release/tools/zvtrace/zvtrace
socket=$(mktemp -u /tmp/zv_demo_XXXXXX.sock)

echo "== platform demo (trace commands served on $socket)"
"$demo" --count 5 --serve "$socket" --linger 1000 &
pid=$!
for _ in $(seq 50); do [ -S "$socket" ] && break; sleep 0.05; done
echo "== zvtrace $socket list"
"$tool" "$socket" list || true
echo "== zvtrace $socket call ZvTrace_listScopes 'platform_demo_*'"
"$tool" "$socket" call ZvTrace_listScopes 'platform_demo_*' || true
wait "$pid"
