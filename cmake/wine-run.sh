#!/usr/bin/env bash
# Runs a Windows program under Wine with a prefix kept inside the build tree, so tests never touch
# the user's own Wine set-up. CTest uses this as the emulator of the Windows build.
set -euo pipefail
exe=$1
shift
build_dir=$(cd "$(dirname "$exe")/.." && pwd)
export WINEPREFIX="$build_dir/wineprefix"
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml=${WINEDLLOVERRIDES:+;$WINEDLLOVERRIDES}"
export WINEARCH=win32
# Creating a prefix takes seconds and must not race between tests started side by side.
(
  flock 9
  if [ ! -f "$WINEPREFIX/system.reg" ]; then
    wineboot -i >/dev/null 2>&1 || true
    wineserver -w
  fi
) 9>"$build_dir/.wineprefix.lock"
# The data source stand-in goes where the library looks for it, below the prefix's Windows folder.
data_source="$build_dir/windir/TWAIN_32/KIVA4/PELLAR4.DS"
if [ -f "$data_source" ]; then
  mkdir -p "$WINEPREFIX/drive_c/windows/TWAIN_32/KIVA4"
  cp -f "$data_source" "$WINEPREFIX/drive_c/windows/TWAIN_32/KIVA4/"
fi
exec wine "$exe" "$@"
