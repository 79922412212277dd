#!/usr/bin/env bash
# Builds the host, host-asan and windows presets warning-free and runs every suite: the host and
# sanitizer tests natively, the Windows tests under Wine.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/setup-debian.sh all

jobs=$(nproc)
build() {
  echo "== build $1"
  cmake --preset "$1" -DVEXSCAN_WERROR=ON >/dev/null
  cmake --build --preset "$1" -j "$jobs"
}
for preset in host host-asan windows; do
  build "$preset"
done

# The native run also reads the export and import tables of the 32-bit Windows DLLs just built.
export VEXSCAN_WINDOWS_BIN_DIR="$PWD/build/windows/bin"

echo "== test host"
ctest --preset host -j "$jobs"
echo "== test host-asan"
ctest --preset host-asan -j "$jobs"

# The shipped DLLs are 32-bit. Where Wine cannot start 32-bit programs (a kernel without 32-bit
# support), the same Windows tests run as a 64-bit build under 64-bit Wine instead, and the 32-bit
# DLLs are covered by the native export and import checks above.
if timeout 120 cmake/wine-run.sh build/windows/bin/wine_probe.exe >/dev/null 2>&1; then
  echo "== test windows (32-bit, under Wine)"
  xvfb-run -a ctest --preset windows
else
  echo "NOTICE: Wine cannot start 32-bit programs on this machine; the Windows tests run as the"
  echo "        64-bit build under 64-bit Wine."
  build windows64
  echo "== test windows64 (under 64-bit Wine)"
  xvfb-run -a ctest --preset windows64
fi
