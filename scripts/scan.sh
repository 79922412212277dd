#!/usr/bin/env bash
# Builds the library, the simulated scanner and the scan tool, then scans with vexscan-scan.
# Arguments go to the tool (try --help); `scripts/scan.sh -o page.png` scans the whole flatbed of
# the default simulated scanner at 150 dpi in 24-bit colour. Relative file names are taken from
# the folder the script was started in.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"

(
  cd "$root"
  scripts/setup-debian.sh host
  cmake --preset host >/dev/null
  cmake --build --preset host -j "$(nproc)" --target vexscan-scan >/dev/null
)

# The build keeps a Windows directory of its own, holding the data source stand-in.
WINDIR="${WINDIR:-$root/build/host/windir}" exec "$root/build/host/bin/vexscan-scan" "$@"
