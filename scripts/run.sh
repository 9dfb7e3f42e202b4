#!/usr/bin/env bash
# Sets up, builds the Windows program and runs the main job under Wine: the language-file tool on
# the sample language file shipped in the repository.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
bash scripts/setup.sh
mkdir -p build
cmake --preset windows >build/windows.configure.log 2>&1 || { cat build/windows.configure.log; exit 1; }
cmake --build --preset windows --target langfile
build/windows/wine-run build/windows/tools/langfile/langfile.exe show samples/Lang/ENU/Quorlin.ENU
