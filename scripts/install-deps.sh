#!/usr/bin/env bash
# Installs the Debian packages the project needs, only those still missing.
# Safe to run again and again.
set -euo pipefail

packages=(
  cmake ninja-build g++ clang libclang-rt-14-dev   # toolchain, sanitizers, libFuzzer
  googletest libgtest-dev libgmock-dev libbenchmark-dev
  zlib1g-dev libpng-dev                            # PNG screenshots
  socat netcat-openbsd                             # real peers for the socket tests
  procps                                           # free and vmstat, to check the RAM monitor
  python3                                          # small test helpers
  git                                              # a real program run under the guard-page allocator
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done

if [ ${#missing[@]} -gt 0 ]; then
  echo "installing: ${missing[*]}"
  sudo_cmd=""
  [ "$(id -u)" -eq 0 ] || sudo_cmd="sudo"
  export DEBIAN_FRONTEND=noninteractive
  $sudo_cmd apt-get update -qq
  $sudo_cmd apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
