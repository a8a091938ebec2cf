#!/usr/bin/env bash
# Configures and builds one architecture: scripts/build.sh x86_64|i686
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
arch=$1
dir="$root/build/$arch"
extra=()
[ "$arch" = x86_64 ] && extra+=("-DCMAKE_CROSSCOMPILING_EMULATOR=$root/scripts/wine-run.sh")
if [ ! -f "$dir/build.ninja" ]; then
  cmake -S "$root" -B "$dir" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$root/cmake/toolchain-$arch.cmake" "${extra[@]}" >/dev/null
fi
cmake --build "$dir" -- -k 0
