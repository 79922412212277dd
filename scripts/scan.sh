#!/usr/bin/env bash
# Builds the library and the scan tool, then scans from the built-in simulated scanner.
# Arguments go to vexscan-scan (try --help); with none, the default simulated scanner is used.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/setup-debian.sh host
cmake --preset host >/dev/null
cmake --build --preset host -j "$(nproc)" --target vexscan-scan >/dev/null

# The build keeps a Windows directory of its own, holding the data source stand-in.
WINDIR="${WINDIR:-$PWD/build/host/windir}" exec build/host/bin/vexscan-scan "$@"
