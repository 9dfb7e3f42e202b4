#!/usr/bin/env bash
# Sets up the machine, builds the native, sanitizer and Windows builds, runs every test of each
# (the Windows ones under Wine) and ends with one summary line: "summary: N passed, M failed".
# Each test executable counts its test cases; a test that is a whole program run counts once.
set -uo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root" || exit 1

mkdir -p "$root/build"
bash scripts/setup.sh || { echo "summary: 0 passed, 1 failed"; exit 1; }

presets=(${QRL_PRESETS:-native native-asan windows})
passed=0
failed=0
status=0
wineserver_prefix=""

xvfb_pid=""

stop_wineserver() {
  if [ -n "$wineserver_prefix" ]; then
    WINEPREFIX="$wineserver_prefix" /usr/lib/wine/wineserver64 -k 2>/dev/null || true
  fi
  if [ -n "$xvfb_pid" ]; then kill "$xvfb_pid" 2>/dev/null || true; xvfb_pid=""; fi
}
trap stop_wineserver EXIT

# A virtual X display for the whole Windows run, unless there is one. Wine's desktop process takes
# the display of the first program that starts it, and every window of the run goes through that
# desktop: programs that show windows need it to have a display from the start.
start_display() {
  [ -n "${DISPLAY:-}" ] && return 0
  local fifo number
  fifo=$(mktemp -u) && mkfifo "$fifo" || return 1
  Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$fifo" >/dev/null 2>&1 &
  xvfb_pid=$!
  read -r -t 20 number <"$fifo"
  rm -f "$fifo"
  [ -n "$number" ] || return 1
  export DISPLAY=":$number"
}

# Adds one build's results to the totals, from CTest's output and the test programs' XML reports.
count_results() {
  local build=$1 log=$2 name result report tests failures errors skipped
  while read -r name result; do
    report="$build/test-reports/$name.xml"
    if [ -f "$report" ]; then
      read -r tests failures errors skipped < <(sed -n 's/.*<testsuites tests="\([0-9]*\)" failures="\([0-9]*\)" disabled="[0-9]*" errors="\([0-9]*\)".*/\1 \2 \3 0/p' "$report" | head -n 1)
      skipped=$(grep -c '<skipped' "$report" || true)
      passed=$((passed + tests - failures - errors - skipped))
      failed=$((failed + failures + errors))
      # A program that failed without a failed case (a crash, a time-out) counts as one failure.
      if [ "$result" != Passed ] && [ $((failures + errors)) -eq 0 ]; then failed=$((failed + 1)); fi
    elif [ "$result" = Passed ]; then
      passed=$((passed + 1))
    else
      failed=$((failed + 1))
    fi
  done < <(sed -n 's/^ *[0-9]*\/[0-9]* Test *#[0-9]*: \([^ ]*\) [ .]*\(\*\*\*\)\{0,1\}\([A-Za-z]*\).*/\1 \3/p' "$log")
}

for preset in "${presets[@]}"; do
  build="$root/build/$preset"
  echo "== $preset: configure and build"
  if ! cmake --preset "$preset" >"$root/build/$preset.configure.log" 2>&1; then
    cat "$root/build/$preset.configure.log"
    echo "== $preset: configure failed"; failed=$((failed + 1)); status=1; continue
  fi
  if ! cmake --build --preset "$preset"; then
    echo "== $preset: build failed"; failed=$((failed + 1)); status=1; continue
  fi
  if [ "$preset" = windows ]; then
    start_display || { echo "== windows: no X display"; failed=$((failed + 1)); status=1; continue; }
    # One persistent wineserver for the whole run, in the build's private prefix (a server left
    # from before, with a desktop of its own, is stopped first).
    WINEPREFIX="$build/wineprefix" /usr/lib/wine/wineserver64 -k 2>/dev/null || true
    "$build/wine-run" cmd /c exit 0 >/dev/null 2>&1
    wineserver_prefix="$build/wineprefix"
    WINEPREFIX="$wineserver_prefix" /usr/lib/wine/wineserver64 -p
  fi
  rm -rf "$build/test-reports"
  echo "== $preset: test"
  (cd "$build" && ctest --output-on-failure --timeout 600 -j "$(nproc)") | tee "$build/ctest.log"
  [ "${PIPESTATUS[0]}" -eq 0 ] || status=1
  count_results "$build" "$build/ctest.log"
  if [ "$preset" = windows ]; then stop_wineserver; wineserver_prefix=""; fi
done

[ "$failed" -eq 0 ] || status=1
echo "summary: $passed passed, $failed failed"
exit $status
