#!/usr/bin/env bash
# Builds what is missing and runs the demo host under wine64: scripts/demo.sh [--data DIR] [--scenario FILE]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/setup.sh"
"$root/scripts/build.sh" x86_64
source "$root/scripts/wine-env.sh"
trap qv_wine_stop EXIT
qv_wine_start
set +e
"$root/scripts/wine-run.sh" "$root/build/x86_64/demo/demo_host.exe" "$@"
code=$?
set -e
exit $code
