#!/usr/bin/env bash
# Every asset file taken away in turn, through the runner with real OpenGL rendering: a missing
# model or texture ends the program in order with status 1 and one line naming the file; a
# missing sound effect or music track leaves it silent with one warning naming the file, and
# the game goes on (status 0). Nothing ever crashes: no signal, no sanitizer report (BIN_DIR may
# be a sanitizer build's).
source "$(dirname "${BASH_SOURCE[0]}")/lib/common.bash"
source "$here/asset_cases.bash"

# Every model, with the choice that makes the battle load it.
declare -A model_type=([bear.x]=0 [rocket.x]=0 [fox.x]=1 [skunk.x]=2 [gass.x]=2 [pigtank.x]=3
  [shield.x]=3 [momotank.x]=4 [fish.x]=5 [water.x]=5 [mousetank.x]=6 [spidertank.x]=7
  [pyon2.x]=8 [pyon.x]=8 [wood.x]=9 [cattank.x]=10)
declare -A model_stage=([stage1.x]=0 [stage2.x]=1 [stage3.x]=2 [stage4.x]=3 [stage5.x]=4 [v.x]=4)

# With everything in place: a battle, nothing on stderr.
pick 0 1 >"$work/plain.txt"
run_case "all assets" "$work/plain.txt" --render
[ "$rc" -eq 0 ] || fail "all assets: status $rc: $err"
[ -z "$err" ] || fail "all assets: stderr not empty: $err"
grep -q '^ticks=60 battles=1 ' "$work/out.txt" || fail "all assets: $out"

models=0
for path in "$assets"/model/*.x; do
  file="$(basename "$path")"
  [ "$file" = marker.x ] && continue  # the markers are optional: see below
  type="${model_type[$file]:-0}"
  stage="${model_stage[$file]:-1}"
  pick "$type" "$stage" >"$work/script.txt"
  without "model/$file"
  run_case "model/$file" "$work/script.txt" --render
  restore "model/$file"
  [ "$rc" -eq 1 ] || fail "model/$file missing: status $rc, want 1 ($out)"
  expect_one_line "model/$file missing" "model/$file"
  # It ended at the battle's construction: no battle tick ran.
  if grep -q '"screen": *"battle"' "$work/trace.jsonl"; then fail "model/$file: a battle tick ran"; fi
  models=$((models + 1))
done
((models == 28)) || fail "expected 28 models, found $models"

# Without the markers' model and textures (an asset folder made before them) the battle plays on,
# without markers and without a word on standard error.
for file in model/marker.x marker0.bmp marker1.bmp marker2.bmp marker3.bmp; do
  without "$file"
  run_case "$file" "$work/plain.txt" --render
  restore "$file"
  [ "$rc" -eq 0 ] || fail "$file missing: status $rc, want 0 ($out)"
  [ -z "$err" ] || fail "$file missing: stderr not empty: $err"
done

for file in net.bmp star.bmp; do
  without "$file"
  run_case "$file" "$work/plain.txt" --render
  restore "$file"
  [ "$rc" -eq 1 ] || fail "$file missing: status $rc, want 1 ($out)"
  expect_one_line "$file missing" "$file"
done

# Sound effects: the script plays several of them (life, reload, shot, the fox's ability); the
# trace still lists each play, the battle runs to the end of the script.
cat >"$work/sounds.txt" <<'SCRIPT'
2 down 70
3 up 70
5 down 39
6 up 39
8 down 13
9 up 13
20 down 17 2
22 up 17 0
53 down 16 1
55 up 16 0
SCRIPT
sounds=0
for path in "$assets"/sound/*.wav; do
  file="$(basename "$path")"
  # Rendering does not touch the sound path: only one case pays for it.
  render=()
  [ "$file" = "shot.wav" ] && render=(--render)
  without "sound/$file"
  run_case "sound/$file" "$work/sounds.txt" "${render[@]}"
  restore "sound/$file"
  [ "$rc" -eq 0 ] || fail "sound/$file missing: status $rc, want 0 ($err)"
  expect_one_line "sound/$file missing" "sound/$file"
  grep -q '^ticks=60 battles=1 ' "$work/out.txt" || fail "sound/$file missing: $out"
  sounds=$((sounds + 1))
done
((sounds == 19)) || fail "expected 17 effects and 2 tracks, found $sounds files"

python3 - "$work/trace.jsonl" <<'PY' || fail "sound trace"
import sys
from lib.trace import SOUND, load
played = [s for line in load(sys.argv[1]) for s in line["sounds"]]
for effect in (SOUND.LIFE, SOUND.RELOAD, SOUND.SHOT, SOUND.FOX):
    assert effect in played, f"effect {effect} was not played: {played}"
PY
echo "missing files: ok ($models models, 2 textures, $sounds sound files)"
