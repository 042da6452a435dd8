#!/usr/bin/env bash
# Builds the libFuzzer targets (the .x, .bmp and wav readers, the runner's script parser and the
# replay file's reader) with
# clang, AddressSanitizer and UndefinedBehaviorSanitizer into build-fuzz/, then runs each for a
# bounded time. Not part of CI.
#   tools/fuzz/run.sh [SECONDS_PER_TARGET] [TARGET...]    (default 60 s, all targets)
# Seeds: the small committed corpus in tools/fuzz/corpus/<target>/ plus a few of the real assets
# when a normal build (build/bin, or $BF_ASSETS_DIR) has made them. Crashing inputs land in
# build-fuzz/findings/<target>/; keep each one under tests/data/fuzz/<target>/ once it is fixed.
set -uo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)"
seconds="${1:-60}"
shift || true
targets=("$@")
[ ${#targets[@]} -gt 0 ] || targets=(x_mesh bmp wav script replay)
out="$root/build-fuzz"
assets="${BF_ASSETS_DIR:-$root/build/bin}"
cxx="${CXX_FUZZ:-clang++}"
mkdir -p "$out/obj"

# --- build ---------------------------------------------------------------------------------------
flags=(-std=c++20 -O1 -g -fno-omit-frame-pointer -Wall -Wextra -I"$root/src" -I"$root/tools/fuzz"
  -isystem /usr/include/stb -DBF_VERSION=\"fuzz\" -DBF_DATA_DIR_FROM_BIN=\"../share/burrowfield\"
  $(pkg-config --cflags sdl2 SDL2_mixer))
sanitizers=(-fsanitize=address,undefined -fno-sanitize-recover=undefined)
libs=($(pkg-config --libs sdl2 SDL2_mixer) -lassimp)
sources=(src/platform/readers/x_mesh.cpp src/platform/readers/image_file.cpp
  src/platform/readers/wave_file.cpp src/platform/readers/x_text_check.cpp
  src/platform/readers/x_model_counts.cpp src/platform/readers/x_tokens.cpp
  src/platform/files/files.cpp src/platform/headless/script.cpp src/app/replay_file.cpp
  tools/fuzz/fuzz_entry.cpp)
objects=()
for source in "${sources[@]}"; do
  object="$out/obj/$(basename "${source%.cpp}").o"
  if [ ! -f "$object" ] || [ "$root/$source" -nt "$object" ] || [ "$root/tools/fuzz/fuzz_entry.h" -nt "$object" ]; then
    echo "compiling $source"
    "$cxx" "${flags[@]}" "${sanitizers[@]}" -fsanitize=fuzzer-no-link -c "$root/$source" -o "$object" ||
      exit 1
  fi
  objects+=("$object")
done
for target in "${targets[@]}"; do
  echo "linking ${target}_fuzz"
  "$cxx" "${flags[@]}" "${sanitizers[@]}" -fsanitize=fuzzer "$root/tools/fuzz/${target}_fuzz.cpp" \
    "${objects[@]}" "${libs[@]}" -o "$out/${target}_fuzz" || exit 1
done

# --- seeds from the real assets (too big to commit) -----------------------------------------------
for target in x_mesh bmp wav script replay; do mkdir -p "$out/corpus/$target" "$out/findings/$target"; done
seed() {  # seed TARGET FILE...
  mkdir -p "$out/corpus/$1"
  local target="$1"
  shift
  for file in "$@"; do [ -f "$file" ] && cp -n "$file" "$out/corpus/$target/"; done
  return 0
}
seed x_mesh "$assets"/model/{item,shot,rocket,mine}.x "$root/tests/data/material_refs.x"
seed bmp "$assets"/net.bmp "$assets"/star.bmp
if [ -f "$assets/sound/reload.wav" ]; then
  # The head of a real effect, with its sizes made to agree: a few KB instead of tens.
  python3 - "$assets/sound/reload.wav" "$out/corpus/wav/reload-head.wav" <<'PY'
import struct, sys
data = open(sys.argv[1], "rb").read()
at, chunks = 12, b""
while at + 8 <= len(data):
    tag, size = data[at:at + 4], struct.unpack("<I", data[at + 4:at + 8])[0]
    body = data[at + 8:at + 8 + size]
    if tag == b"data":
        body = body[:4096]
    chunks += tag + struct.pack("<I", len(body)) + body + (b"\0" if len(body) % 2 else b"")
    at += 8 + size + (size % 2)
open(sys.argv[2], "wb").write(b"RIFF" + struct.pack("<I", 4 + len(chunks)) + b"WAVE" + chunks)
PY
fi
# --- run -----------------------------------------------------------------------------------------
# assimp 5.2.5 leaks what it had built when it abandons a broken file: not ours, suppressed.
export LSAN_OPTIONS="suppressions=$root/tools/lsan.supp:print_suppressions=0"
export ASAN_OPTIONS="${ASAN_OPTIONS:-abort_on_error=0}"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
export SDL_AUDIODRIVER=dummy
status=0
for target in "${targets[@]}"; do
  max_len=4096
  extra=()
  case "$target" in
    x_mesh) max_len=65536; extra=(-dict="$root/tools/fuzz/x_mesh.dict") ;;
    bmp | wav) max_len=16384 ;;
  esac
  echo "=== $target: ${seconds}s"
  "$out/${target}_fuzz" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
    -max_len="$max_len" -print_final_stats=1 -artifact_prefix="$out/findings/$target/" "${extra[@]}" \
    "$out/corpus/$target" "$root/tools/fuzz/corpus/$target" 2>&1 | tee "$out/$target.log" |
    grep -E '^(#[0-9]+ +(INITED|DONE)|==[0-9]+==ERROR|SUMMARY|stat::number_of_executed_units|Done|artifact_prefix|Test unit written)'
  [ "${PIPESTATUS[0]}" -eq 0 ] || { status=1; echo "=== $target: FOUND a problem, see $out/$target.log"; }
done
exit $status
