# Sourced: makes the project's wine prefix and keeps one wineserver running for it.
qv_root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
export WINEPREFIX="${QV_WINEPREFIX:-$qv_root/build/wineprefix}"
export WINEDEBUG="${WINEDEBUG:--all}"
export WINEDLLOVERRIDES="mscoree,mshtml="
qv_wineserver=$(command -v wineserver || echo /usr/lib/wine/wineserver64)

qv_wine_start() {
  if [ ! -f "$WINEPREFIX/system.reg" ]; then
    echo "wine: creating the prefix $WINEPREFIX"
    mkdir -p "$WINEPREFIX"
    /usr/lib/wine/wine64 wineboot --init >/dev/null 2>&1 || true
    "$qv_wineserver" -w
  fi
  "$qv_wineserver" -p 2>/dev/null || true
  # Start wine's own services now, with no pipes of ours: a service that inherits a test's
  # output pipe would keep ctest waiting for it to close.
  /usr/lib/wine/wine64 cmd /c exit </dev/null >/dev/null 2>&1 || true
}

qv_wine_stop() {
  "$qv_wineserver" -k >/dev/null 2>&1 || true
}
