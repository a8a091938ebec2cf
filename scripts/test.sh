#!/usr/bin/env bash
# Installs what is missing, builds both architectures and runs every test. Non-zero on any failure.
# The x86_64 tests run under wine64; the i686 ones (the shipped build) run after them as one
# 32-bit process when this machine can run 32-bit code, and are announced as skipped otherwise.
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
x86_64=passed
(cd "$root/build/x86_64" && ctest --output-on-failure -j2) || x86_64=FAILED
qv_wine_stop

i686=passed
"$root/scripts/test-i686.sh" || case $? in
  3) i686="SKIPPED (did not run, see the line above)" ;;
  *) i686=FAILED ;;
esac

echo "test: x86_64 tests $x86_64; i686 tests $i686"
[ "$x86_64" = passed ] && [ "$i686" != FAILED ]
