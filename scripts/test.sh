#!/usr/bin/env bash
# Builds the host, host-asan and windows presets warning-free and runs every suite: the host and
# sanitizer tests natively, the Windows tests under Wine.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/setup-debian.sh all

jobs=$(nproc)
for preset in host host-asan windows; do
  echo "== build $preset"
  cmake --preset "$preset" -DVEXSCAN_WERROR=ON >/dev/null
  cmake --build --preset "$preset" -j "$jobs"
done

# The native run also reads the export and import tables of the Windows DLLs just built.
export VEXSCAN_WINDOWS_BIN_DIR="$PWD/build/windows/bin"

echo "== test host"
ctest --preset host -j "$jobs"
echo "== test host-asan"
ctest --preset host-asan -j "$jobs"

echo "== test windows"
if timeout 120 cmake/wine-run.sh build/windows/bin/wine_probe.exe >/dev/null 2>&1; then
  xvfb-run -a ctest --preset windows
else
  echo "NOTICE: Wine cannot start 32-bit Windows programs on this machine (its kernel runs no"
  echo "        32-bit code), so the Windows test executables were built but not run. Their"
  echo "        export and import tables were checked natively above (windows_binary_tests)."
fi
