#!/usr/bin/env bash
# Builds the libFuzzer targets (clang, ASan + UBSan) and runs each for a while.
#   scripts/fuzz.sh [SECONDS_PER_TARGET] [TARGET...]     (default: 60 seconds, every target)
# Each target starts from its seed corpus fuzz/corpus/<name>/ (copied into the build folder, so the
# repository is not changed) and its dictionary fuzz/<name>.dict when there is one. A finding is
# saved in build/fuzz/findings/ and makes the script fail.
set -uo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root" || exit 1
seconds=${1:-60}
shift || true

mkdir -p "$root/build"
bash scripts/setup.sh || exit 1
cmake --preset fuzz >"$root/build/fuzz.configure.log" 2>&1 || { cat "$root/build/fuzz.configure.log"; exit 1; }
cmake --build --preset fuzz || exit 1

targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then
  for exe in "$root"/build/fuzz/fuzz/*_fuzz; do
    [ -x "$exe" ] && targets+=("$(basename "$exe")")
  done
fi

# Targets that go through files write them into the temporary folder: keep it in memory.
[ -d /dev/shm ] && export TMPDIR=/dev/shm
status=0
mkdir -p "$root/build/fuzz/findings"
for target in "${targets[@]}"; do
  name=${target%_fuzz}
  corpus="$root/build/fuzz/corpus/$name"
  mkdir -p "$corpus"
  [ -d "$root/fuzz/corpus/$name" ] && cp -r "$root/fuzz/corpus/$name/." "$corpus/"
  dict=()
  [ -f "$root/fuzz/$name.dict" ] && dict=("-dict=$root/fuzz/$name.dict")
  echo "== fuzz $target for ${seconds}s"
  if ! "$root/build/fuzz/fuzz/$target" "${dict[@]}" -max_total_time="$seconds" -print_final_stats=1 \
      -artifact_prefix="$root/build/fuzz/findings/$name-" "$corpus" 2>"$root/build/fuzz/$target.log"; then
    tail -n 40 "$root/build/fuzz/$target.log"
    echo "== fuzz $target: FINDING (see build/fuzz/findings/)"
    status=1
  else
    grep -E '^stat::number_of_executed_units|^stat::average_exec_per_sec' "$root/build/fuzz/$target.log"
  fi
done
exit $status
