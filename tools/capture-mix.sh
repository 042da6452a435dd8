#!/usr/bin/env bash
# Records what the real game plays, through SDL's disk audio driver, with the game in a window
# under Xvfb, and measures the recording with soundcheck: loudness, peak, clipped samples and the
# longest silence (a hole where a music loop starts again would show there).
#
#   tools/capture-mix.sh [--battles] SECONDS OUT.wav [BIN_DIR]
#
# Without --battles the game waits on the selection screen, its music looping by itself. With it,
# Enter starts a battle whenever the selection screen is up and player 0 drives, fires and
# launches the ability without pause, among three computer tanks. The game runs at its own speed:
# SECONDS of sound take SECONDS.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
battles=false
if [ "${1:-}" = "--battles" ]; then
  battles=true
  shift
fi
seconds="${1:?seconds}"
out="${2:?output wav}"
bin="${3:-$root/build/bin}"
work="$(mktemp -d)"
source "$root/tests/e2e/xvfb_session.bash"
trap xvfb_cleanup EXIT

xvfb_start
game_start SDL_AUDIODRIVER=disk SDL_DISKAUDIOFILE="$work/mix.raw"
wait_for start 20 selection 1 0:0
# The recording starts with the selection music; the game is told to stop after SECONDS.
deadline=$((SECONDS + seconds))
while ((SECONDS < deadline)); do
  if $battles; then
    hold Return
    xdotool keydown Up
    for _ in 1 2 3 4; do
      hold Control_L
      hold Left
    done
    hold Shift_L
    xdotool keyup Up
  else
    sleep 1
  fi
done
hold Escape
hold Escape
game_wait_exit 20

# The disk driver writes the mixer's own format: 16-bit little-endian stereo at 44100 Hz.
python3 - "$work/mix.raw" "$out" <<'PY'
import sys, wave
raw = open(sys.argv[1], "rb").read()
with wave.open(sys.argv[2], "wb") as w:
    w.setnchannels(2)
    w.setsampwidth(2)
    w.setframerate(44100)
    w.writeframes(raw[: len(raw) // 4 * 4])
PY
"$bin/soundcheck" "$out"
