# The window tests' session on Wayland (sourced after common.bash, not run): a private headless
# Weston with the pixman renderer, the real game on it as a native Wayland client, keys typed
# through the weston-keys module (built beside the game) and screenshots by Weston's own
# screenshooter. Everything else, the waits and checks, is the X session's (xvfb_session.bash).
#
# The caller sets `bin` and `work`, calls `weston_start` and traps EXIT with xvfb_cleanup.
# Where weston is missing or cannot start at all the test is skipped, with status 77.
source "$(dirname "${BASH_SOURCE[0]}")/xvfb_session.bash"

# Linux input key codes of the X key names the tests use.
declare -A key_code=([Escape]=1 [w]=17 [a]=30 [s]=31 [d]=32 [f]=33 [Control_L]=29 [Return]=28
  [F11]=87 [Up]=103 [Left]=105 [Right]=106 [Down]=108)

skip() {
  echo "SKIP: $*"
  exit 77
}

# weston_start [WIDTH HEIGHT]: 1024 x 768 unless given. With `seatless` first, without the
# module: a compositor with no seat at all, as the headless back-end is alone.
weston_start() {
  local seat=1
  [ "${1:-}" = seatless ] && { seat=0; shift; }
  command -v weston >/dev/null || skip "weston is not installed (Debian: apt install weston)"
  local module
  module="$(cd "$bin" && pwd)/weston-keys.so"
  ((!seat)) || [ -f "$module" ] ||
    fail "no $module: the build needs libweston-10-dev for the Wayland window test"
  export XDG_RUNTIME_DIR="$work/runtime"
  mkdir -m 700 "$XDG_RUNTIME_DIR"
  key_fifo="$work/keys"
  mkfifo "$key_fifo"
  local modules=()
  ((seat)) && modules=(--modules="$module")
  BF_WESTON_KEYS="$key_fifo" weston --backend=headless-backend.so --use-pixman \
    --width="${1:-1024}" --height="${2:-768}" --socket=burrowfield --idle-time=0 --debug \
    "${modules[@]}" >"$work/weston.log" 2>&1 &
  server_pid=$!
  export WAYLAND_DISPLAY=burrowfield
  unset DISPLAY
  # Ready when it lists the module's seat (or its shell, without one); a guard only, for a busy
  # machine.
  local ready="'wl_seat'"
  ((seat)) || ready="'xdg_wm_base'"
  local deadline=$((SECONDS + 60))
  until weston-info 2>/dev/null | grep -q "$ready"; do
    if ! kill -0 "$server_pid" 2>/dev/null; then
      grep -q weston-keys "$work/weston.log" && fail "weston-keys: $(cat "$work/weston.log")"
      skip "weston cannot start here: $(tail -3 "$work/weston.log")"
    fi
    ((SECONDS < deadline)) || fail "weston is not ready after 60 s: $(tail -3 "$work/weston.log")"
    sleep 0.2
  done
}

key_down() {
  [ -n "${key_code[$1]:-}" ] || fail "no key code for $1"
  echo "${key_code[$1]} 1" >"$key_fifo"
}
key_up() {
  echo "${key_code[$1]} 0" >"$key_fifo"
}
tap() {
  key_down "$1"
  key_up "$1"
}
fire_player0() {
  for _ in 1 2 3; do
    tap Control_L
    sleep 0.06
  done
}

# Weston's screenshooter writes the whole output into the folder it runs in, named by the time.
shoot_screen() {
  local folder="$work/shooter"
  rm -rf "$folder"
  mkdir "$folder"
  (cd "$folder" && weston-screenshooter >/dev/null 2>&1) || fail "weston-screenshooter failed"
  mv "$folder"/*.png "$1" || fail "weston-screenshooter wrote nothing"
}

# The game window's place on the output as WxH+X+Y, as the compositor has it (its scene graph),
# found by the app id: so a window that does not give the menu entry's name is not found at all.
window_place() {
  weston-debug scene-graph 2>/dev/null | awk '
    /top-level window .* of org\.burrowfield\.Burrowfield,/ { found = 1; next }
    found && /position:/ {
      gsub(/[(),>-]/, " "); print ($4 - $2) "x" ($5 - $3) "+" $2 "+" $3; exit }'
}

# wait_place NAME SECONDS WxH: waits until the game's window has that size, and sets `place`.
wait_place() {
  local deadline=$((SECONDS + $2))
  while :; do
    place="$(window_place)"
    [ "${place%%+*}" = "$3" ] && { echo "[$SECONDS s] $1: the window at $place"; return 0; }
    ((SECONDS >= deadline)) && fail "$1: the window stands at '$place', want $3"
    sleep 0.2
  done
}

# wait_window NAME SECONDS CHECK...: as wait_for, on the game window's own rectangle of the output
# (at `place`, from wait_place).
wait_window() {
  local shoot=shoot_window
  wait_doing : "$@"
}

# shoot_window FILE: the game window's rectangle (at `place`) cut out of the whole output.
shoot_window() {
  local size="${place%%+*}" at="${place#*+}"
  shoot_screen "$work/window-output.png"
  python3 "$here/screen_check.py" "$work/window-output.png" crop "${at%+*}" "${at#*+}" \
    "${size%x*}" "${size#*x}" "$1" || fail "cannot cut the window out of the output"
}
