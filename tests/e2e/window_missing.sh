#!/usr/bin/env bash
# Missing devices and files in the real game under Xvfb (SDL_mixer and the message boxes, which
# the runner does not use):
# - no audio device: two message boxes, the warning then "Error", each also on stderr; after OK
#   on both the game runs silently and Escape ends it with status 0; SIGTERM while a box is up
#   ends the game in order, SIGKILL leaves no window behind;
# - a missing sound effect and a missing music track: one warning each on stderr naming the
#   file, the game plays on (the missing effect is fired) and ends with status 0;
# - a missing model: a message box when the battle is built; after OK the program ends with
#   status 1.
source "$(dirname "${BASH_SOURCE[0]}")/lib/common.bash"
source "$here/xvfb_session.bash"
trap xvfb_cleanup EXIT

xvfb_start

# The game reads its assets beside its own executable: a copy of both, to take files from.
game_dir="$work/game"
mkdir -p "$game_dir"
cp -r "$bin/burrowfield" "$bin/model" "$bin/sound" "$bin/net.bmp" "$bin/star.bmp" "$game_dir/" ||
  fail "cannot copy the game"
bin="$game_dir"

# No audio device.
game_start SDL_AUDIODRIVER=nonexistent_driver
box_wait warning 20
box_dismiss
box_wait error 10
box_dismiss
wait_for no-audio-selection 20 selection 1 0:0
press Return no-audio-battle 30 battle full 0
tap Escape
wait_for no-audio-back 20 selection 1 0:0
tap Escape
game_wait_exit 10
[ "$game_rc" -eq 0 ] || fail "no audio device: status $game_rc"
check_clean_stderr "no audio device"
grep -q "nonexistent_driver" "$work/game.err" || fail "no audio device: nothing on stderr"
grep -qx "Burrowfield: DirectSoundは利用できません。" "$work/game.err" &&
  grep -qx "Error: DirectSound起動失敗！" "$work/game.err" ||
  fail "no audio device: the two messages are not on stderr"
echo "[$SECONDS s] no audio device: two boxes, status 0: $(cat "$work/game.err")"

# The box is the game's own, in its own window: a signal ends the game with the box up.
game_start SDL_AUDIODRIVER=nonexistent_driver
box_wait warning 20
kill -TERM "$game_pid"
game_wait_exit 5
[ "$game_rc" -eq 0 ] || fail "SIGTERM with a box up: status $game_rc, want 0 (an orderly end)"
check_clean_stderr "SIGTERM with a box up"
game_start SDL_AUDIODRIVER=nonexistent_driver
box_wait warning 20
kill -KILL "$game_pid"
wait "$game_pid" 2>/dev/null
game_pid=""
# The server takes the window away once it sees the connection gone.
deadline=$((SECONDS + 20))
while xwininfo -root -children | grep -q '"Burrowfield"'; do
  ((SECONDS < deadline)) || fail "SIGKILL with a box up: a window stayed"
  sleep 0.1
done
echo "[$SECONDS s] a box up: SIGTERM ends the game in order, SIGKILL leaves no window"

# A missing effect (shot.wav, fired below) and the selection screen's music (bgm0.wav).
mv "$game_dir/sound/shot.wav" "$game_dir/sound/bgm0.wav" "$work/"
game_start SDL_AUDIODRIVER=dummy
wait_for missing-sound-selection 20 selection 1 0:0
press Return missing-sound-battle 30 battle full 0
fire_until missing-sound-fired 20 battle shells-spent 0
tap Escape
wait_for missing-sound-back 20 selection 1 0:0
tap Escape
game_wait_exit 10
[ "$game_rc" -eq 0 ] || fail "missing sound: status $game_rc"
check_clean_stderr "missing sound"
[ "$(grep -c 'shot.wav' "$work/game.err")" -eq 1 ] || fail "missing shot.wav: want one warning"
# bgm0.wav is asked for at each entry of the selection screen: twice here.
grep -q 'bgm0.wav' "$work/game.err" || fail "missing bgm0.wav: no warning"
[ "$(grep -vc -e 'shot.wav' -e 'bgm0.wav' "$work/game.err")" -eq 0 ] ||
  fail "missing sound: unexpected output on stderr"
echo "[$SECONDS s] missing sounds: status 0:"
sed 's/^/  /' "$work/game.err"
mv "$work/shot.wav" "$work/bgm0.wav" "$game_dir/sound/"

# A missing model: the default stage's mesh.
mv "$game_dir/model/stage2.x" "$work/"
game_start SDL_AUDIODRIVER=dummy
wait_for missing-model-selection 20 selection 1 0:0
press Return error-box 30 box error
box_dismiss
game_wait_exit 10
[ "$game_rc" -eq 1 ] || fail "missing model: status $game_rc, want 1"
check_clean_stderr "missing model"
grep -q "^Burrowfield: cannot load mesh '.*/model/stage2.x'" "$work/game.err" ||
  fail "missing model: the message is not on stderr"
echo "[$SECONDS s] missing model: a box, then status 1"
echo "window missing: ok"
