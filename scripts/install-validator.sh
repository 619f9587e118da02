#!/usr/bin/env bash
# Installs the Khronos glTF-Validator that the tests run on every glTF file they export: Node.js
# and npm from Debian when the machine has neither command, then the validator at the version
# pinned by tools/gltf-validator/package-lock.json (into tools/gltf-validator/node_modules).
set -euo pipefail
cd "$(dirname "$0")/.."
if ! command -v node >/dev/null || ! command -v npm >/dev/null; then
  scripts/install-deps.sh node
fi
dir=tools/gltf-validator
installed="$dir/node_modules/.package-lock.json"
if [ ! -f "$installed" ] || [ "$dir/package-lock.json" -nt "$installed" ]; then
  npm ci --prefix "$dir" --no-audit --no-fund
fi
