#!/usr/bin/env bash
# Builds the game with AddressSanitizer and UndefinedBehaviorSanitizer and plays it through the
# runner: the runner's contract (closes during the selection screen and a battle included), a
# battle whose models are missing, asset files that must not be read (directories, FIFOs,
# endless devices, oversized, too deeply nested and lying files), a short rendered battle, and
# computer battles on every stage with their memory watched. Any sanitizer report fails the run.
#   tools/sanitize.sh           quick: the runner only, one battle per stage (CI)
#   tools/sanitize.sh --full    everything, the whole test suite, and 100 battles per stage
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="$root/build-asan"
full=0
[ "${1:-}" = "--full" ] && full=1

if [ ! -f "$build/build.ninja" ]; then
  cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DBF_SANITIZE=ON \
    -DBF_BENCH=OFF
fi
if [ "$full" -eq 1 ]; then
  cmake --build "$build" -j"$(nproc)"
else
  cmake --build "$build" -j"$(nproc)" --target burrowfield-sim
fi

export ASAN_OPTIONS="detect_leaks=1:halt_on_error=1:exitcode=23"
export LSAN_OPTIONS="suppressions=$root/tools/lsan.supp:print_suppressions=0"
export UBSAN_OPTIONS="halt_on_error=1:print_stacktrace=1"
# AddressSanitizer keeps freed memory in quarantine, so resident memory grows by itself; leaks
# are LeakSanitizer's to find, and memory growth is checked on the normal build.
export SOAK_MEMORY_CHECK=0

bin="$build/bin"
bash "$root/tests/e2e/runner_contract.sh" "$bin"
bash "$root/tests/e2e/battle_missing_model.sh" "$bin"
bash "$root/tests/e2e/bad_files.sh" "$bin"
# A short battle drawn with OpenGL: Mesa's driver starts and shuts down under LeakSanitizer.
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
printf '2 down 13\n3 up 13\n' > "$work/battle.txt"
"$bin/burrowfield-sim" --script "$work/battle.txt" --ticks 100 --render > /dev/null ||
  { echo "FAIL: the rendered battle ended with an error" >&2; exit 1; }
if [ "$full" -eq 1 ]; then
  (cd "$build" && ctest --output-on-failure -j"$(nproc)")
  "$root/tools/soak.sh" "$bin" 100
else
  "$root/tools/soak.sh" "$bin" 1
fi
echo "sanitized runs: ok"
