#!/usr/bin/env bash
# Installs the .deb that cpack made in BUILD_DIR for real, tries it as a user would and removes
# it again. For a machine of its own, as root (CI); ./test.sh runs it only there.
# Usage: PackageTest.sh BUILD_DIR VERSION
set -euo pipefail
build=$(realpath "$1") version=$2
deb=$(ls "$build"/quillon_"$version"_*.deb)
work=$(mktemp -d)
trap 'rm -rf "$work"; dpkg --purge quillon >/dev/null' EXIT

fail() {
  echo "FAIL: $*" >&2
  exit 1
}

DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends "$deb"
[ "$(command -v quillon)" = /usr/bin/quillon ] || fail "quillon is not the installed one"
[ "$(quillon-cli --version)" = "quillon-cli $version" ] || fail "quillon-cli --version"

mkdir -p "$work/home"
HOME=$work/home quillon --render "$work/demo.png" --size 64x48 "$build/demo/demo.md3"
size=$(od -An -tu1 -j16 -N8 "$work/demo.png" | awk '{ printf "%dx%d", $3 * 256 + $4, $7 * 256 + $8 }')
[ "$size" = 64x48 ] || fail "the picture is $size, not 64x48"
[ -d "$work/home/.cache/quillon/tmp" ] || fail "no temporary folder in the user's cache"

# A generated MD3 without its extension is known by its first bytes.
update-mime-database /usr/share/mime
cp "$build/demo/demo.md3" "$work/model"
type=$(env -u XDG_CURRENT_DESKTOP xdg-mime query filetype "$work/model")
[ "$type" = model/x-md3 ] || fail "the generated MD3 is $type"
echo "the package installs and works"
