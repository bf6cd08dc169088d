#!/usr/bin/env bash
# build.sh <build dir> [cmake options...]: configures (once) and builds.
set -euo pipefail
dir=$1; shift
root=$(cd "$(dirname "$0")/.." && pwd)
jobs=${ZV_JOBS:-$(nproc)}
cmake -S "$root" -B "$dir" -G Ninja "$@" >/dev/null
cmake --build "$dir" -j "$jobs"
