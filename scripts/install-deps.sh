#!/usr/bin/env bash
# Installs the Debian packages Quillon needs, only those that are missing. The build group also
# makes the manual pages (help2man) and the .deb (dpkg-dev); the test group checks the installed
# desktop files (desktop-file-utils, libxml2-utils, and xdg-utils with its file-type lookup
# libfile-mimeinfo-perl over shared-mime-info).
# Usage: scripts/install-deps.sh build|test|fuzz|node ...
set -euo pipefail

build_pkgs=(cmake ninja-build g++ pkg-config qt6-base-dev libqt6opengl6-dev libgl-dev libglu1-mesa-dev
  libegl-dev libegl-mesa0 libgl1-mesa-dri libzip-dev zlib1g-dev libjpeg-dev libpng-dev libtinygltf-dev
  libinih-dev libcli11-dev nlohmann-json3-dev libmeshoptimizer-dev
  help2man dpkg-dev)
test_pkgs=(libgtest-dev libgmock-dev libbenchmark-dev clang-format xvfb xauth imagemagick unzip
  openarena-081-players openarena-085-data
  desktop-file-utils libxml2-utils xdg-utils libfile-mimeinfo-perl shared-mime-info)
fuzz_pkgs=(clang)
# Node.js runs the glTF validator of the tests (scripts/install-validator.sh asks for it only when
# the machine has no node or npm command, so a Node.js from elsewhere is left alone).
node_pkgs=(nodejs npm)

wanted=()
for group in "$@"; do
  case "$group" in
    build) wanted+=("${build_pkgs[@]}") ;;
    test) wanted+=("${test_pkgs[@]}") ;;
    fuzz) wanted+=("${fuzz_pkgs[@]}") ;;
    node) wanted+=("${node_pkgs[@]}") ;;
    *) echo "unknown package group: $group" >&2; exit 2 ;;
  esac
done

missing=()
for pkg in "${wanted[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$pkg")
  fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=""
[ "$(id -u)" -ne 0 ] && sudo="sudo"
echo "Installing: ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -q
$sudo apt-get install -y -q --no-install-recommends "${missing[@]}"
