#!/usr/bin/env bash
# Things in place of asset files that must not be read, through the runner with real OpenGL
# rendering: a directory, a FIFO, a link to /dev/zero and a (sparse) file larger than any asset
# may be, each in place of a model, a texture, a sound effect and a music track; a model whose
# mesh is nested in frames far too deep for the importer, and a binary one; an 80-byte wav with
# a list chunk that claims 4 GiB; small valid files that decode to far more than their kind may
# hold (oversized_asset.py: polygons of 32,767 corners, 800,000 triangles, 4096 x 4096 pixels in
# 60 bytes, sounds at 1 Hz and at 1000 Hz, an effect of 31 s, a track of 601 s). Each is met at
# once with one line naming the file: a model or texture ends the program in order with status 1,
# a sound leaves the game silent and it plays on (status 0). No hang, no crash, no sanitizer
# report (BIN_DIR may be a sanitizer build's).
source "$(dirname "${BASH_SOURCE[0]}")/lib/common.bash"
source "$here/asset_cases.bash"

# spoil FILE KIND: puts KIND in place of FILE (relative to the assets); the file goes aside.
spoil() {
  without "$1"
  local path="$assets/$1"
  case "$2" in
    directory) mkdir "$path" ;;
    fifo) mkfifo "$path" ;;
    endless) ln -s /dev/zero "$path" ;;
    huge) truncate -s 200M "$path" ;;
    deep) python3 -c 'import sys; n = 40000; body = open(sys.argv[1]).read()[16:]
sys.stdout.write("xof 0302txt 0032\n" + "Frame f {\n" * n + body + "}\n" * n)' "$work/aside" >"$path" ;;
    binary) python3 -c 'import sys
sys.stdout.buffer.write(b"xof 0302bin 0032" + bytes(range(256)) * 4)' >"$path" ;;
    chunk4g) python3 -c 'import struct, sys
fmt = struct.pack("<HHIIHH", 1, 2, 22050, 88200, 4, 16)
body = b"WAVE" + b"fmt " + struct.pack("<I", len(fmt)) + fmt + b"data" + struct.pack("<I", 8)
body += bytes(8) + b"LIST" + struct.pack("<I", 0xFFFFFFF0)
body += bytes(80 - 8 - len(body))
sys.stdout.buffer.write(b"RIFF" + struct.pack("<I", len(body)) + body)' >"$path" ;;
    polygons | triangles | pixels | rate1 | rate1000 | long31 | long601)
      python3 "$here/oversized_asset.py" "$2" "$path" ;;
    *) fail "unknown kind $2" ;;
  esac
}
unspoil() {
  rm -rf "$assets/$1"
  restore "$1"
}

pick 0 1 >"$work/battle.txt"
cases=0
# check FILE KIND STATUS [RUNNER OPTIONS]
check() {
  local file="$1" kind="$2" want="$3"
  shift 3
  spoil "$file" "$kind"
  run_case "$file as $kind" "$work/battle.txt" "$@"
  unspoil "$file"
  [ "$rc" -eq "$want" ] || fail "$file as $kind: status $rc, want $want: $err"
  expect_one_line "$file as $kind" "$file"
  if [ "$want" -eq 1 ] && grep -q '"screen": *"battle"' "$work/trace.jsonl"; then
    fail "$file as $kind: a battle tick ran"
  fi
  if [ "$want" -eq 0 ] && ! grep -q '^ticks=60 battles=1 ' "$work/out.txt"; then
    fail "$file as $kind: the game did not play on: $out"
  fi
  cases=$((cases + 1))
}

for kind in directory fifo endless huge deep binary polygons triangles; do
  check model/stage2.x $kind 1 --render
done
for kind in directory fifo endless huge pixels; do check net.bmp $kind 1 --render; done
for file in sound/shot.wav sound/bgm0.wav; do
  for kind in directory fifo endless huge chunk4g rate1 rate1000; do check "$file" $kind 0; done
done
check sound/shot.wav long31 0
check sound/bgm0.wav long601 0
echo "bad files: ok ($cases cases)"
