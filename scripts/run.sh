#!/usr/bin/env bash
# Sets up, builds Quorlin (the Windows program) with its language files, and starts it under Wine.
#   With a display ($DISPLAY set): Quorlin opens in a window there; pick a language with the
#   "Язык" button. It ends when you close the window.
#   Without one: Quorlin runs inside Xvfb, the window driver picks every installed language in turn
#   and saves one screenshot per language, and the compiled texts as compiled.png, into
#   build/screenshots/ (or the folder given as the first argument).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
bash scripts/setup.sh
mkdir -p build
cmake --preset windows >build/windows.configure.log 2>&1 || { cat build/windows.configure.log; exit 1; }
cmake --build --preset windows --target Quorlin quorlin_languages uidriver
exe="$root/build/windows/app/Quorlin.exe"
export LANG=ru_RU.UTF-8 # the program's compiled texts are Russian: code page 1251

if [ -n "${DISPLAY:-}" ]; then
  echo "Quorlin runs on $DISPLAY; the languages are in build/windows/Lang/"
  exec build/windows/wine-run "$exe"
fi

shots=$(realpath -m "${1:-build/screenshots}")
rm -rf "$shots"
mkdir -p "$shots"
to_windows() { echo "Z:$1" | tr / '\\'; }
# A Wine desktop left from a run without a display would keep the windows off this one.
WINEPREFIX="$root/build/windows/wineprefix" /usr/lib/wine/wineserver64 -k 2>/dev/null || true
timeout 300 xvfb-run -a -s "-screen 0 1024x768x24" \
  build/windows/wine-run build/windows/tools/uidriver/uidriver.exe screenshots "$(to_windows "$exe")" \
  "$(to_windows "$shots")" 2>/dev/null
echo "screenshots, one per language: $shots"
ls "$shots"
