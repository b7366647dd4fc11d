#!/usr/bin/env bash
# Builds Kolbrik Viewer and starts it. Extra arguments go to the program.
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/deps.sh
cmake --preset default >/dev/null
cmake --build --preset default
if [ -x build/default/bin/kolbrik-viewer ]; then
  exec build/default/bin/kolbrik-viewer "$@"
else
  exec build/default/bin/kolbrik --help
fi
