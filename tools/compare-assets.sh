#!/usr/bin/env bash
# Checks that two builds, in different folders (and with different compiler flags), generated
# byte-identical assets: models, textures, sounds, music, icons and the pictures compiled into
# the game. assetgen must depend on nothing but its own code: not on the folder, the time, the
# compiler's optimisation or the order files are listed in.
# Usage: tools/compare-assets.sh BUILD_A BUILD_B
set -euo pipefail
a="$1"
b="$2"
fail() { echo "FAIL: $*" >&2; exit 1; }

# Every generated file, relative to its build folder.
generated() {
  (cd "$1" && find bin/model bin/sound bin/icons bin/net.bmp bin/star.bmp bin/burrowfield.bmp \
    tools/assetgen/generated_pictures.cpp -type f | LC_ALL=C sort)
}

files_a="$(generated "$a")" || fail "$a lacks generated assets"
files_b="$(generated "$b")" || fail "$b lacks generated assets"
[ "$files_a" = "$files_b" ] ||
  fail "the builds generated different files: $(diff <(echo "$files_a") <(echo "$files_b") | grep '^[<>]' | head -5)"
differing=()
while read -r file; do
  cmp -s "$a/$file" "$b/$file" || differing+=("$file")
done <<< "$files_a"
((${#differing[@]} == 0)) || fail "${#differing[@]} files differ: ${differing[*]:0:10}"
echo "same assets: $(wc -l <<< "$files_a") files byte-identical in $a and $b"
