#!/usr/bin/env bash
# Runs the tests of the i686 build (the shipped one) as ONE 32-bit process: natively where the
# kernel runs 32-bit code, otherwise wine32 under qemu-user through binfmt_misc (set up here).
# Exit status: 0 passed, 1 failed, 3 did not run (one line says why). Never 0 unless it ran.
# QV_SKIP_I686=1 skips it on purpose (announced like any other skip).
set -uo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
bin="$root/build/i686/bin"
exe=test_all32.exe
logs="$root/build/i686/test-i686"
wine32=/usr/lib/wine/wine
wineserver=/usr/lib/wine/wineserver
binfmt=/proc/sys/fs/binfmt_misc
# The standard i386 ELF magic and mask, as qemu's own binfmt configuration has them.
i386_magic='\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00'
i386_mask='\xff\xff\xff\xff\xff\xfe\xfe\x00\xff\xff\xff\xff\xff\xff\xff\xff\xfe\xff\xff\xff'
i386_magic_hex=7f454c4601010100000000000000000002000300
# Bounds, in seconds, generous for emulation on a loaded machine.
prefix_timeout=${QV_I686_PREFIX_TIMEOUT:-600}
run_timeout=${QV_I686_RUN_TIMEOUT:-900}
# Death tests start one process each: too slow under emulation; their suites end in DeathTest.
filter='-*DeathTest*:*Death*'

began=$(date +%s)
skip() { echo "test-i686: SKIPPED - the 32-bit tests did not run: $*"; exit 3; }
fail() { echo "test-i686: FAILED - $*" >&2; exit 1; }
say() { echo "test-i686: [+$(($(date +%s) - began))s] $*"; }

[ -z "${QV_SKIP_I686:-}" ] || skip "QV_SKIP_I686 is set"
mkdir -p "$logs"

# --- packages: wine32 for the loader, qemu-user for the emulation ---------------------------------
is_root() { [ "$(id -u)" = 0 ]; }
installed() { dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q "install ok installed"; }
apt_log="$logs/apt.log"
apt_install() {
  DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends \
    -o DPkg::Lock::Timeout=600 "$@" >>"$apt_log" 2>&1
}
apt_update() { DEBIAN_FRONTEND=noninteractive apt-get update -qq -o DPkg::Lock::Timeout=600 >>"$apt_log" 2>&1; }
apt_failure() { echo "apt-get failed ($(grep -E '^(E|W):' "$apt_log" | tail -n 1))"; }

# Below 8.1, qemu-user ignores MAP_FIXED_NOREPLACE, and wine's address-space reservation then
# costs about a minute of CPU for every process start; 8.1 and later start one in under a second.
qemu_fast_enough() {
  local v
  v=$("$1" --version 2>/dev/null | sed -n '1s/.*version \([0-9]*\)\.\([0-9]*\).*/\1 \2/p')
  [ -n "$v" ] && set -- $v && { [ "$1" -gt 8 ] || { [ "$1" -eq 8 ] && [ "$2" -ge 1 ]; }; }
}
pick_qemu() {
  local q
  for q in /usr/bin/qemu-i386-static /usr/bin/qemu-i386; do
    [ -x "$q" ] && qemu_fast_enough "$q" && { echo "$q"; return 0; }
  done
  return 1
}

# An enabled binfmt_misc entry for i386 ELF means 32-bit programs are emulated, not native.
i386_entry() {
  local e
  for e in "$binfmt"/*; do
    [ -f "$e" ] && grep -qx "magic $i386_magic_hex" "$e" 2>/dev/null && { echo "$e"; return 0; }
  done
  return 1
}
entry_enabled() { head -n 1 "$1" 2>/dev/null | grep -qx enabled; }

codename=$(. /etc/os-release 2>/dev/null && echo "${VERSION_CODENAME:-}")
backports="/etc/apt/sources.list.d/qv-${codename}-backports.sources"
changed_qemu=0

if ! installed wine32:i386; then
  is_root || skip "wine32 is not installed, and installing it needs root"
  command -v apt-get >/dev/null || skip "wine32 is not installed, and there is no apt-get to install it"
  say "installing wine32 (i386)"
  dpkg --print-foreign-architectures | grep -qx i386 || dpkg --add-architecture i386 || skip "dpkg --add-architecture i386 failed"
  apt_update || skip "$(apt_failure)"
  apt_install wine32:i386 || skip "$(apt_failure)"
fi

# Native 32-bit support needs nothing more; otherwise emulate.
emulated=1
entry=$(i386_entry) || entry=""
if { [ -z "$entry" ] || ! entry_enabled "$entry"; } && "$wine32" --version >/dev/null 2>&1; then
  emulated=0
fi

# Ready when an enabled i386 entry hands 32-bit programs to a qemu that is new enough.
entry_interpreter() { sed -n 's/^interpreter //p' "$1" 2>/dev/null; }
emulation_ready() {
  [ -n "$entry" ] && entry_enabled "$entry" && qemu_fast_enough "$(entry_interpreter "$entry")" &&
    "$wine32" --version >/dev/null 2>&1
}

if [ "$emulated" = 1 ] && ! emulation_ready; then
  is_root || skip "this kernel cannot run 32-bit code, and setting up qemu in binfmt_misc needs root"
  if ! qemu=$(pick_qemu); then
    say "installing qemu-user (8.1 or later)"
    if [ "$codename" = bookworm ]; then
      # bookworm's own qemu-user-static is 7.2; its backports carry a current one.
      if [ ! -f "$backports" ]; then
        printf '%s\n' "Types: deb" "URIs: http://deb.debian.org/debian" "Suites: bookworm-backports" \
          "Components: main" "Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg" >"$backports"
      fi
      apt_update || skip "$(apt_failure)"
      apt_install qemu-user/bookworm-backports qemu-user-static/bookworm-backports || skip "$(apt_failure)"
    else
      apt_update || skip "$(apt_failure)"
      apt_install qemu-user-static || skip "$(apt_failure)"
    fi
    changed_qemu=1
    qemu=$(pick_qemu) || skip "no qemu-i386 8.1 or later is available (older ones need a minute per process start)"
  fi

  if [ ! -f "$binfmt/register" ]; then
    mount -t binfmt_misc binfmt_misc "$binfmt" 2>/dev/null || skip "binfmt_misc is not available (cannot mount $binfmt)"
  fi
  entry=$(i386_entry) || entry=""
  # The F flag pins the interpreter file at registration, so a new qemu needs a new entry.
  if [ -n "$entry" ] && { [ "$changed_qemu" = 1 ] || ! qemu_fast_enough "$(entry_interpreter "$entry")"; }; then
    echo -1 >"$entry" 2>/dev/null || skip "cannot replace the binfmt_misc entry $entry"
    entry=""
  fi
  if [ -z "$entry" ]; then
    printf '%s' ":qemu-i386:M::$i386_magic:$i386_mask:$qemu:F" >"$binfmt/register" 2>/dev/null
    entry=$(i386_entry) || skip "cannot register qemu for i386 ELF in binfmt_misc"
  fi
  entry_enabled "$entry" || echo 1 >"$entry" 2>/dev/null || skip "cannot enable the binfmt_misc entry $entry"
  "$wine32" --version >/dev/null 2>&1 || skip "the 32-bit wine loader still does not start under $qemu"
fi
[ "$emulated" = 0 ] || qemu=$(entry_interpreter "$entry")

# --- the 32-bit prefix and one persistent wineserver -----------------------------------------------
"$root/scripts/build.sh" i686 >"$logs/build.log" 2>&1 || fail "the i686 build failed (see $logs/build.log)"
[ -f "$bin/$exe" ] || fail "$bin/$exe was not built"

export WINEPREFIX="$root/build/wineprefix32" WINEARCH=win32 WINEDEBUG="${WINEDEBUG:--all}"
export WINEDLLOVERRIDES="mscoree,mshtml="
export QV_TEST_TIMEOUT_SCALE=$([ "$emulated" = 1 ] && echo 20 || echo 1)
trap '"$wineserver" -k >/dev/null 2>&1 || true' EXIT

start=$(date +%s)
# A prefix counts only once wineboot finished; an interrupted one is made again.
if [ ! -f "$WINEPREFIX/.qv-ready" ] || ! grep -q '^#arch=win32' "$WINEPREFIX/system.reg" 2>/dev/null; then
  say "creating the 32-bit prefix $WINEPREFIX"
  rm -rf "$WINEPREFIX" && mkdir -p "$WINEPREFIX"
  timeout "$prefix_timeout" "$wine32" wineboot --init </dev/null >"$logs/wineboot.log" 2>&1 ||
    fail "wineboot did not finish within ${prefix_timeout}s (see $logs/wineboot.log)"
  timeout "$prefix_timeout" "$wineserver" -w || fail "the prefix's processes did not end within ${prefix_timeout}s"
  touch "$WINEPREFIX/.qv-ready"
  say "prefix ready in $(($(date +%s) - start))s"
fi
"$wineserver" -p
# Start wine's services with no pipes of ours: one that inherited the output would hold it open.
timeout "$prefix_timeout" "$wine32" cmd /c exit </dev/null >/dev/null 2>&1

# --- the one test process ------------------------------------------------------------------------
mode=$([ "$emulated" = 1 ] && echo "emulated by $qemu" || echo native)
say "running $exe ($mode, timeout scale $QV_TEST_TIMEOUT_SCALE, filter $filter)"
log="$logs/$exe.log"
run_start=$(date +%s)
(cd "$bin" && exec timeout "$run_timeout" "$wine32" "$exe" "--gtest_filter=$filter" "$@") </dev/null >"$log" 2>&1 &
pid=$!
tail -n +1 --pid="$pid" -f "$log"
wait "$pid"
rc=$?
seconds=$(($(date +%s) - run_start))

[ "$rc" = 124 ] && fail "$exe did not finish within ${run_timeout}s"
[ "$rc" = 0 ] || fail "$exe exited with $rc after ${seconds}s"
passed=$(sed -n 's/^\[  PASSED  \] \([0-9]*\) tests\{0,1\}\..*/\1/p' "$log" | tail -n 1)
[ -n "$passed" ] && [ "$passed" -gt 0 ] || fail "$exe exited with 0 but reported no passed tests"
say "PASSED - $passed tests in one 32-bit process ($mode) in ${seconds}s"
