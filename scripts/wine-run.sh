#!/usr/bin/env bash
# Runs a Windows program under wine64 in the project's own prefix (the ctest emulator).
root=$(cd "$(dirname "$0")/.." && pwd)
export WINEPREFIX="${QV_WINEPREFIX:-$root/build/wineprefix}"
export WINEDEBUG="${WINEDEBUG:--all}"
export WINEDLLOVERRIDES="mscoree,mshtml="
exec /usr/lib/wine/wine64 "$@"
