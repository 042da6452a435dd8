# Shared by the end-to-end checks that take asset files away or spoil them (sourced, not run):
# a copy of the game's assets to change, scripts that start a battle with a chosen tank type and
# stage, and one run of the runner with what it left. Sourced after lib/common.bash, whose `bin`,
# `sim`, `work` and `fail` it uses.

assets="$work/assets"
mkdir -p "$assets"
cp -r "$bin/model" "$bin/sound" "$bin/net.bmp" "$bin/star.bmp" "$assets/" ||
  fail "cannot copy the assets"
# The markers' textures, where the build has them (an older runner, compared against, has none).
for marker in "$bin"/marker?.bmp; do
  [ ! -e "$marker" ] || cp "$marker" "$assets/" || fail "cannot copy $marker"
done

# Scripts: Enter on the selection screen starts a battle on the design's default stage index 1
# with player 0 on tank type 0; `pick` first moves player 0 to a tank type and a stage.
press() { # TICK VK: key down on TICK, up on the next tick
  echo "$1 down $2"
  echo "$(($1 + 1)) up $2"
}
pick() { # TYPE STAGE -> script on standard output
  local type="$1" stage="$2" tick=2 key presses
  # Tank type (from tick 2: the set-up of the selection screen clears what tick 0 pressed):
  # Right from 0, or Left around the wrap, whichever is shorter.
  if ((type <= 5)); then key=39 presses=$type; else key=37 presses=$((11 - type)); fi
  for ((i = 0; i < presses; i++)); do press $tick $key; tick=$((tick + 2)); done
  # Stage row, then Right from stage 1, or Left around the wrap for stages 0 and 4.
  if ((stage != 1)); then
    press $tick 40
    tick=$((tick + 2))
    case "$stage" in
      0) keys=(37) ;;
      2) keys=(39) ;;
      3) keys=(39 39) ;;
      4) keys=(37 37) ;;
    esac
    for k in "${keys[@]}"; do press $tick $k; tick=$((tick + 2)); done
  fi
  press $tick 13
}

# run_case NAME SCRIPT_FILE [RUNNER OPTIONS]: runs the runner on the asset copy; sets rc, out, err.
# A run that has not ended after two minutes hangs.
run_case() {
  local name="$1" script="$2"
  shift 2
  timeout -k 5 120 "$sim" --assets "$assets" --script "$script" --ticks 60 \
    --trace "$work/trace.jsonl" "$@" >"$work/out.txt" 2>"$work/err.txt"
  rc=$?
  out="$(cat "$work/out.txt")"
  err="$(grep -v '^$' "$work/err.txt")"
  ((rc != 124 && rc != 137)) || fail "$name: still running after two minutes"
  ((rc < 128)) || fail "$name: killed by signal $((rc - 128))"
  if grep -Eq "AddressSanitizer|LeakSanitizer|runtime error:" "$work/err.txt"; then
    fail "$name: sanitizer report: $(cat "$work/err.txt")"
  fi
  [ -n "${BF_E2E_VERBOSE:-}" ] && echo "$name: status $rc: ${err:-(nothing on stderr)}"
  return 0
}

# expect_one_line NAME PATH: standard error is exactly one line, and it names PATH.
expect_one_line() {
  local lines
  lines="$(grep -c . "$work/err.txt")"
  [ "$lines" -eq 1 ] || fail "$1: $lines lines on stderr, want 1: $err"
  grep -qF "$2" "$work/err.txt" || fail "$1: the message does not name $2: $err"
}

without() { # FILE: move FILE (relative to the assets) aside
  mv "$assets/$1" "$work/aside" || fail "no asset $1"
}
restore() { mv "$work/aside" "$assets/$1"; }
