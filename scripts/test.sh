#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test offscreen.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
bash "$root/scripts/setup.sh"
bash "$root/scripts/build.sh"
export QT_QPA_PLATFORM=offscreen
cd "${QUILL_BUILD_DIR:-$root/build}"
ctest --output-on-failure -j"$(nproc)" --timeout 300
