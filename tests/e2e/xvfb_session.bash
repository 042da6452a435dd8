# Shared by the window tests (sourced, not run): a private Xvfb display, the real game on it,
# key presses the game is sure to see, and screenshots. Every wait is for something the screen or
# the display shows, with a deadline only as a guard: a busy machine may slow the game down a lot.
#
# The caller sets `bin` and `work` and calls `xvfb_start`; `xvfb_cleanup` (run from the caller's
# EXIT trap) ends the game and the server. With BF_E2E_SHOTS set to a folder, every screenshot is
# also written there as a PNG.

here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
server_pid=""
game_pid=""
game_rc=""
game_options=()

fail() {
  echo "FAIL: $*" >&2
  [ -s "$work/game.err" ] && sed 's/^/  game stderr: /' "$work/game.err" >&2
  if [ -n "${BF_E2E_SHOTS:-}" ] && [ -n "${last_shot:-}" ] && [ -f "$last_shot" ]; then
    echo "  last screenshot: $BF_E2E_SHOTS/$(basename "$last_shot" .xwd).png" >&2
  fi
  exit 1
}

xvfb_cleanup() {
  if game_running; then
    kill "$game_pid" 2>/dev/null
    local deadline=$((SECONDS + 5))
    while game_running && ((SECONDS < deadline)); do sleep 0.1; done
    kill -9 "$game_pid" 2>/dev/null
  fi
  if [ -n "$server_pid" ]; then
    kill "$server_pid" 2>/dev/null
    local deadline=$((SECONDS + 5))
    while kill -0 "$server_pid" 2>/dev/null && ((SECONDS < deadline)); do sleep 0.1; done
    kill -9 "$server_pid" 2>/dev/null
  fi
  wait 2>/dev/null
  rm -rf "$work"
}

# Starts Xvfb on a display number it finds free itself, 1024 x 768 (or the size given, WxH) at
# 24 bits. It never resets: an X server resets when its last client leaves, and a game started
# in that moment finds no display. It never repeats a key (-r): a tap is xdotool's press and
# release, and a loaded machine may hold xdotool between the two longer than the repeat delay;
# Escape repeated after it had left a battle ended the game on the selection screen.
xvfb_start() {
  mkfifo "$work/displayfd"
  Xvfb -displayfd 9 -screen 0 "${1:-1024x768}x24" -nolisten tcp -noreset -r 9>"$work/displayfd" \
    >"$work/xvfb.log" 2>&1 &
  server_pid=$!
  local number=""
  read -r -t 60 number <"$work/displayfd" || true  # a guard only: a busy machine is slow
  [ -n "$number" ] || fail "Xvfb did not start: $(cat "$work/xvfb.log")"
  export DISPLAY=":$number"
  xdotool mousemove 512 384 >/dev/null 2>&1 || fail "xdotool cannot reach $DISPLAY"
}

# Runs the game in the background with the given environment assignments, and with the options
# in the array game_options when the caller sets it.
game_options=()
game_start() {
  env "$@" "$bin/burrowfield" "${game_options[@]}" >"$work/game.out" 2>"$work/game.err" &
  game_pid=$!
}

game_running() {
  [ -n "$game_pid" ] && kill -0 "$game_pid" 2>/dev/null
}

# Waits up to $1 seconds for the game to end; its status lands in game_rc.
game_wait_exit() {
  local deadline=$((SECONDS + $1))
  while game_running && ((SECONDS < deadline)); do sleep 0.1; done
  game_running && fail "the game did not end within $1 s"
  wait "$game_pid"
  game_rc=$?
  game_pid=""
}

# The keyboard and the screenshot, through X; the Wayland session (weston_session.bash) has its
# own.
key_down() {
  xdotool keydown "$1" || fail "xdotool cannot press $1"
}
key_up() {
  xdotool keyup "$1"
}
shoot_screen() {
  xwd -root -silent >"$1" || fail "xwd failed"
}

# tap KEY: a press and release at once, for the keys the game acts on as the press comes in, or
# keeps until it has: Escape, F11, OK on a message box, and firing in a battle (where a release
# that comes before the shot costs the key's next press).
tap() {
  xdotool key "$1" || fail "xdotool cannot press $1"
}

# press KEYS NAME SECONDS CHECK...: holds the keys (one word each) down until the screen shows
# CHECK, as wait_for, then lets them go. The game looks at most keys once per 20 ms tick: a press
# and release that both come between two ticks are lost, or (left and right on the selection
# screen) count once and cost the key's next press. The choices, joining and Enter act once per
# press however long it lasts; a drive only goes on a little further.
press() {
  local keys key
  read -r -a keys <<<"$1"
  shift
  for key in "${keys[@]}"; do key_down "$key"; done
  wait_for "$@"
  for key in "${keys[@]}"; do key_up "$key"; done
}

keep_png() {
  if [ -n "${BF_E2E_SHOTS:-}" ]; then
    mkdir -p "$BF_E2E_SHOTS"
    python3 "$here/screen_check.py" "$work/$1.xwd" png "$BF_E2E_SHOTS/$1.png"
  fi
}

# wait_for NAME SECONDS CHECK...: screenshots until screen_check.py accepts CHECK, or fails with
# what the last screenshot got wrong.
wait_for() {
  wait_doing : "$@"
}

# wait_doing COMMAND NAME SECONDS CHECK...: wait_for, running COMMAND (one word) before each
# screenshot; a caller's `shoot` names another way to take it (the default is shoot_screen).
wait_doing() {
  local command="$1" name="$2" seconds="$3"
  shift 3
  local deadline=$((SECONDS + seconds))
  while :; do
    if ! game_running; then
      wait "$game_pid" # its status: 128 + N when killed by signal N
      fail "$name: the game ended early, with status $? (see its stderr)"
    fi
    "$command"
    last_shot="$work/$name.xwd"
    "${shoot:-shoot_screen}" "$last_shot"
    if python3 "$here/screen_check.py" "$last_shot" "$@" 2>"$work/check.txt"; then
      echo "[$SECONDS s] $name: ok"
      keep_png "$name"
      return 0
    fi
    if ((SECONDS >= deadline)); then
      keep_png "$name"
      fail "$name: the screen does not show what it should:
$(cat "$work/check.txt")"
    fi
    sleep 0.2
  done
}

# No crash report from a sanitizer build, no signal.
check_clean_stderr() {
  if grep -Eq "AddressSanitizer|runtime error:|LeakSanitizer|Segmentation" "$work/game.err"; then
    fail "$1: crash report on stderr"
  fi
}

# box_wait KIND SECONDS: waits for the game's message box (KIND warning or error), which it
# draws over the middle of its own screen.
box_wait() {
  wait_for "$1-box" "$2" box "$1"
}

# Presses OK on the message box (Return, as a player would): the box answers a key pressed and
# released while it is up.
box_dismiss() {
  tap Return
}

# fire_until NAME SECONDS CHECK...: player 0 fires (Ctrl alone) before every screenshot until
# one shows CHECK. The magazine gets one shell back every 30 ticks, so a single shot's short bar
# is full again 0.6 s later, sooner than a screenshot on a busy machine may come: three taps, each
# a tick or more apart, keep it short for up to three times as long.
fire_until() {
  wait_doing fire_player0 "$@"
}
fire_player0() {
  xdotool key --delay 60 Control_L Control_L Control_L || fail "xdotool cannot press Control_L"
}

# The game's window id.
game_window() {
  xdotool search --name '^Burrowfield$' | head -1
}

# Asks the game's window to close, as a window manager's close button does.
game_close() {
  local window
  window="$(game_window)"
  [ -n "$window" ] || fail "no game window to close"
  python3 "$here/x_close.py" "$window" || fail "cannot send the close request"
}

# The window's place on the display as WxH+X+Y.
window_geometry() {
  xwininfo -id "$1" | awk '/Absolute upper-left X/ {x = $NF} /Absolute upper-left Y/ {y = $NF}
    /^ *Width:/ {w = $NF} /^ *Height:/ {h = $NF} END {print w "x" h "+" x "+" y}'
}

# wait_geometry NAME SECONDS WINDOW WxH+X+Y: waits until the window stands there.
wait_geometry() {
  local deadline=$((SECONDS + $2)) got
  while :; do
    got="$(window_geometry "$3")"
    [ "$got" = "$4" ] && { echo "[$SECONDS s] $1: the window at $got"; return 0; }
    ((SECONDS >= deadline)) && fail "$1: the window stands at $got, want $4"
    sleep 0.2
  done
}

# Takes a screenshot of the one window (no frame: there is no window manager) into
# $work/NAME.xwd.
shot_window() {
  last_shot="$work/$1.xwd"
  xwd -id "$2" -silent >"$last_shot" || fail "xwd failed"
  keep_png "$1"
}
