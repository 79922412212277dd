#!/usr/bin/env bash
# Installs what a Debian machine lacks to build and test the project.
#   setup-debian.sh host   the native build: compilers, CMake, GoogleTest, Google Benchmark, libpng
#   setup-debian.sh all    also mingw-w64 (32- and 64-bit), Wine with its 32-bit part, Xvfb and
#                          ImageMagick
set -euo pipefail

host_packages=(cmake make g++ googletest libgtest-dev libgmock-dev libbenchmark-dev libpng-dev pkg-config)
windows_packages=(g++-mingw-w64-i686 g++-mingw-w64-x86-64 wine wine32:i386 wine64 xvfb xauth imagemagick)

packages=("${host_packages[@]}")
if [ "${1:-all}" = all ]; then
  packages+=("${windows_packages[@]}")
fi

missing=()
for package in "${packages[@]}"; do
  dpkg -s "$package" >/dev/null 2>&1 || missing+=("$package")
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=()
[ "$(id -u)" -ne 0 ] && sudo=(sudo)
if printf '%s\n' "${missing[@]}" | grep -q ':i386$' && ! dpkg --print-foreign-architectures | grep -qx i386; then
  "${sudo[@]}" dpkg --add-architecture i386
fi
echo "Installing: ${missing[*]}"
"${sudo[@]}" apt-get update -qq
DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -qq "${missing[@]}" >/dev/null
