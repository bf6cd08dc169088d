#!/usr/bin/env bash
# build.sh <build dir> [cmake options...]: configures and builds.
# With ZV_TARGETS_FROM=<file in the build dir>, builds only the targets
# listed there (one a line) instead of everything.
set -euo pipefail
dir=$1; shift
root=$(cd "$(dirname "$0")/.." && pwd)
jobs=${ZV_JOBS:-$(nproc)}
cmake -S "$root" -B "$dir" -G Ninja "$@" >/dev/null
if [ -n "${ZV_TARGETS_FROM:-}" ]; then
  mapfile -t targets < <(grep -v '^$' "$dir/$ZV_TARGETS_FROM" || true)
  [ ${#targets[@]} -gt 0 ] || exit 0
  cmake --build "$dir" -j "$jobs" --target "${targets[@]}"
else
  cmake --build "$dir" -j "$jobs"
fi
