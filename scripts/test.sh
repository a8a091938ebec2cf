#!/usr/bin/env bash
# Installs what is missing, builds both architectures and runs every test. Non-zero on any failure.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/setup.sh"
"$root/scripts/build.sh" x86_64
"$root/scripts/build.sh" i686
"$root/scripts/check-exports.sh" "$root/build/x86_64/bin/qvmodule.dll"
"$root/scripts/check-exports.sh" "$root/build/i686/bin/qvmodule.dll"

source "$root/scripts/wine-env.sh"
trap qv_wine_stop EXIT
qv_wine_start
cd "$root/build/x86_64"
ctest --output-on-failure -j2
