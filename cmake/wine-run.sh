#!/usr/bin/env bash
# Runs a Windows program under Wine with a prefix kept inside the build tree, so tests never touch
# the user's own Wine set-up. CTest uses this as the emulator of the Windows builds.
set -euo pipefail
exe=$1
shift
build_dir=$(cd "$(dirname "$exe")/.." && pwd)

# The PE header's machine field says which Wine loader the program needs.
pe_offset=$(od -An -t u4 -j 60 -N 4 "$exe" | tr -d ' ')
machine=$(od -An -t x2 -j $((pe_offset + 4)) -N 2 "$exe" | tr -d ' ')
if [ "$machine" = 8664 ]; then
  loader=/usr/lib/wine/wine64
  export WINEARCH=win64 WINELOADER=/usr/lib/wine/wine64
else
  loader=wine
  export WINEARCH=win32
fi

export WINEPREFIX="$build_dir/wineprefix"
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml=${WINEDLLOVERRIDES:+;$WINEDLLOVERRIDES}"
# Creating a prefix takes seconds and must not race between tests started side by side.
(
  flock 9
  if [ ! -f "$WINEPREFIX/system.reg" ]; then
    "$loader" wineboot -i >/dev/null 2>&1 || true
    wineserver -w || true
  fi
) 9>"$build_dir/.wineprefix.lock"

# The data source stand-in goes where the library looks for it, below the prefix's Windows folder.
data_source="$build_dir/windir/TWAIN_32/KIVA4/PELLAR4.DS"
if [ -f "$data_source" ]; then
  mkdir -p "$WINEPREFIX/drive_c/windows/TWAIN_32/KIVA4"
  cp -f "$data_source" "$WINEPREFIX/drive_c/windows/TWAIN_32/KIVA4/"
fi
exec "$loader" "$exe" "$@"
