#!/usr/bin/env bash
# Installs the Debian 12 packages that building and testing need, when they
# are missing. Run as root (or with sudo available).
set -euo pipefail

PACKAGES=(
  # toolchain
  cmake ninja-build g++ pkg-config git
  # tests and benchmarks
  libgtest-dev libgmock-dev libbenchmark-dev
  # OpenGL, GLU and EGL (Mesa, surfaceless off-screen rendering)
  libgl-dev libegl-dev libglu1-mesa-dev libegl-mesa0 libgl1-mesa-dri
  # PNG pictures (kolbrik render, part pictures)
  libpng-dev
  # the simplified meshes the view draws while the camera moves
  libmeshoptimizer-dev
  # Qt 6
  qt6-base-dev qt6-base-dev-tools qt6-tools-dev qt6-tools-dev-tools qt6-l10n-tools
  libqt6opengl6-dev qt6-qpa-plugins
  # Qt's own texts (standard dialogs, shortcut names) in German
  qt6-translations-l10n
  # fonts of the instruction booklets; PDF checks (pdftotext, pdfinfo, pdftoppm)
  fonts-dejavu-core poppler-utils
  # window tests, mesh and VRML checkers, fuzzing, locales
  xvfb xauth admesh libcoin-dev clang-14 libclang-rt-14-dev locales
  # the source format check
  clang-format
  # the Debian package and its checks: CPack's dependency list, lintian,
  # AppStream, desktop entry, man pages
  dpkg-dev file lintian appstream desktop-file-utils man-db groff-base
  # readers of our exports in the tests: Assimp, tinyobjloader (from Python),
  # and Node.js for the glTF validator
  libassimp-dev python3-tinyobjloader nodejs
  # three.js, built into the web page of building instructions, and the
  # browser the tests open such pages in
  libjs-three chromium
)
# npm comes with Debian's own package, or with a Node.js that carries its own.
if ! command -v npm >/dev/null; then PACKAGES+=(npm); fi

missing=()
for p in "${PACKAGES[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done

SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi

if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  $SUDO apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi

# A comma-decimal locale for the locale-independence tests.
if ! locale -a 2>/dev/null | grep -qi '^de_DE\.utf8$'; then
  $SUDO sed -i 's/^# *de_DE.UTF-8 UTF-8/de_DE.UTF-8 UTF-8/' /etc/locale.gen
  $SUDO locale-gen >/dev/null
fi

# The Khronos glTF validator from the npm registry, at a fixed version, into
# build/npm (not committed; the export tests run it).
GLTF_VALIDATOR=2.0.0-dev.3.10
NPM_DIR="$(cd "$(dirname "$0")/.." && pwd)/build/npm"
if [ "$(node -p "require('$NPM_DIR/node_modules/gltf-validator/package.json').version" 2>/dev/null)" \
     != "$GLTF_VALIDATOR" ]; then
  mkdir -p "$NPM_DIR"
  npm install --prefix "$NPM_DIR" --no-save --no-package-lock --no-audit --no-fund \
    "gltf-validator@$GLTF_VALIDATOR" >/dev/null
fi
