#!/usr/bin/env bash
# Installs whatever this project needs that the machine lacks; fast when nothing is missing.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
deps="$root/build/deps"

packages=(g++-mingw-w64-i686-posix g++-mingw-w64-x86-64-posix mingw-w64-i686-dev mingw-w64-x86-64-dev
          binutils-mingw-w64-i686 binutils-mingw-w64-x86-64 wine64 wine googletest cmake ninja-build dpkg-dev)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done

sources=/etc/apt/sources.list.d/debian.sources
need_src=0
if ! ls "$deps"/jsoncpp/CMakeLists.txt >/dev/null 2>&1; then
  need_src=1
  if [ -f "$sources" ] && ! grep -q '^Types:.*deb-src' "$sources"; then
    sed -i 's/^Types: deb$/Types: deb deb-src/' "$sources"
  fi
fi

if [ ${#missing[@]} -gt 0 ] || [ "$need_src" = 1 ]; then
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq
fi
if [ ${#missing[@]} -gt 0 ]; then
  echo "setup: installing ${missing[*]}"
  apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi

if [ "$need_src" = 1 ]; then
  echo "setup: fetching the JsonCpp source package"
  tmp=$(mktemp -d)
  (cd "$tmp" && apt-get source -qq libjsoncpp >/dev/null 2>&1)
  src=$(find "$tmp" -maxdepth 1 -type d -name 'libjsoncpp-*' | head -n 1)
  [ -n "$src" ] || { echo "setup: apt-get source libjsoncpp failed" >&2; exit 1; }
  mkdir -p "$deps"
  rm -rf "$deps/jsoncpp"
  mv "$src" "$deps/jsoncpp"
  rm -rf "$tmp"
fi
[ -d /usr/src/googletest/googletest ] || { echo "setup: GoogleTest sources missing at /usr/src/googletest" >&2; exit 1; }
