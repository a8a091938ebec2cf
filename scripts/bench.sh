#!/usr/bin/env bash
# Builds the x86_64 tree and runs the benchmark under wine64; prints the figures table.
# An argument keeps only the figures whose name contains it: ./scripts/bench.sh OnVirusFound
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/setup.sh"
"$root/scripts/build.sh" x86_64
source "$root/scripts/wine-env.sh"
qv_wine_start
trap qv_wine_stop EXIT
cd "$root/build/x86_64/bin"
/usr/lib/wine/wine64 ./qv_bench.exe "$@"
