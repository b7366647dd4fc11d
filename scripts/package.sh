#!/usr/bin/env bash
# Builds Kolbrik Viewer and its Debian package,
# build/default/kolbrik-viewer_<version>_<arch>.deb.
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/deps.sh
cmake --preset default >/dev/null
cmake --build --preset default
cd build/default
cpack
