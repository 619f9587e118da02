#!/usr/bin/env bash
# Unpacks the models of Debian's OpenArena packages into DIR/openarena for the real-data tests.
set -euo pipefail
dest="$1/openarena"
stamp="$dest/.unpacked"
[ -f "$stamp" ] && exit 0
mkdir -p "$dest"
for pk3 in /usr/share/games/openarena/baseoa/pak2-players.pk3; do
  if [ -f "$pk3" ]; then
    unzip -q -o "$pk3" '*.md3' -d "$dest" || true
  fi
done
touch "$stamp"
