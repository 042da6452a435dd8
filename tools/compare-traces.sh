#!/usr/bin/env bash
# Proves that a change nobody should see is invisible: runs two builds of the headless runner on
# the same scripts and compares what a player or a script can observe, byte for byte.
#
#   tools/compare-traces.sh BEFORE_BIN AFTER_BIN [WORK_DIR]
#
# BEFORE_BIN and AFTER_BIN are the bin folders of two build folders (the runner with its
# generated assets). It compares:
#   1. the generated asset files of the two builds (tools/compare-assets.sh);
#   2. every runner run the end-to-end tests make (tests/e2e): the tests are run once against
#      BEFORE_BIN through a recording stand-in, then every recorded run (its options, its script,
#      the asset folder it was given, as it was then) is replayed with both builds: exit status,
#      summary line (without the seconds), standard error, trace;
#   3. long battles of four computer drivers on each of the five stages, battle after battle
#      (COMPARE_TICKS ticks each, default 200000): the whole trace and the summary line;
#   4. rendered runs on each stage and on a busy selection screen, with screenshots at a few
#      ticks: trace, summary and every screenshot.
# The tests that do not drive the runner through BIN (install, window, wayland) are not
# recorded, nor is the signal test, which ends its runner from outside mid-stream; the soak
# (tools/soak.sh) is no e2e script, and part 3 covers what it plays. Exit status 0 when no
# difference was found; the tick counts compared are printed at the end.
#
# COMPARE_NEW_FIELDS="name ..." names whole-number trace fields that AFTER_BIN adds: they are
# taken out of its traces before comparing, so that only what both builds write is compared.
set -uo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
before="$(cd "${1:?usage: compare-traces.sh BEFORE_BIN AFTER_BIN [WORK_DIR]}" && pwd)"
after="$(cd "${2:?usage: compare-traces.sh BEFORE_BIN AFTER_BIN [WORK_DIR]}" && pwd)"
ticks="${COMPARE_TICKS:-200000}"
if [ -n "${3:-}" ]; then
  work="$3"
  mkdir -p "$work"
else
  work="$(mktemp -d)"
  trap 'rm -rf "$work"' EXIT
fi
for bin in "$before" "$after"; do
  [ -x "$bin/burrowfield-sim" ] || { echo "no runner in $bin" >&2; exit 2; }
done

# AFTER's trace lines without the fields only it writes.
new_fields_filter=""
for field in ${COMPARE_NEW_FIELDS:-}; do new_fields_filter+="s/,\"$field\":-\?[0-9]*//;"; done
without_new_fields() { sed "$new_fields_filter"; }

differences=0
runs=0
traced_ticks=0
shots=0
different() {
  echo "DIFFERENT: $*"
  differences=$((differences + 1))
}

# --- 1. Assets --------------------------------------------------------------------------------
# The build folders are the ones that hold BIN: the pictures compiled into the game are compared
# as assetgen wrote their source there.
if ! "$root/tools/compare-assets.sh" "$before/.." "$after/.."; then
  different "the two builds generated different assets"
fi

# Runs one build's runner in its own folder: OUT/status, OUT/stdout, OUT/stderr, plus whatever
# the options write there.
run_sim() { # BIN OUT ARGS...
  local bin="$1" out="$2"
  shift 2
  (cd "$out" && "$bin/burrowfield-sim" "$@" > "$out/stdout" 2> "$out/stderr"; echo $? > "$out/status")
}

# Compares two finished runs' folders: status, summary, standard error, trace, screenshots.
compare_runs() { # NAME DIR_BEFORE DIR_AFTER
  local name="$1" a="$2" b="$3" file
  runs=$((runs + 1))
  cmp -s "$a/status" "$b/status" || different "$name: exit status $(cat "$a/status") / $(cat "$b/status")"
  cmp -s <(sed 's/ seconds=[0-9.]*$//' "$a/stdout") <(sed 's/ seconds=[0-9.]*$//' "$b/stdout") ||
    different "$name: standard output (summary)"
  cmp -s <(sed "s|$a|RUN|g" "$a/stderr") <(sed "s|$b|RUN|g" "$b/stderr") ||
    different "$name: standard error"
  if [ -f "$a/trace.jsonl" ] || [ -f "$b/trace.jsonl" ]; then
    local where
    if where="$(cmp "$a/trace.jsonl" <(without_new_fields < "$b/trace.jsonl") 2>&1)"; then
      traced_ticks=$((traced_ticks + $(wc -l < "$a/trace.jsonl")))
    else
      different "$name: trace ($where)"
    fi
  fi
  if [ -d "$a/shots" ] || [ -d "$b/shots" ]; then
    [ "$(ls "$a/shots")" = "$(ls "$b/shots")" ] || different "$name: different screenshot files"
    for file in "$a/shots"/*.png; do
      [ -e "$file" ] || continue
      cmp -s "$file" "$b/shots/$(basename "$file")" || different "$name: screenshot $(basename "$file")"
      shots=$((shots + 1))
    done
  fi
}

# --- 2. The end-to-end tests' runs --------------------------------------------------------------
# The stand-in folder holds copies of the assets (some tests move files of their copies aside) and
# a runner that records each call, then runs the real one.
# COMPARE_REUSE_RECORD=1 replays the calls recorded by an earlier run with the same WORK_DIR.
shim="$work/shim"
record="$work/record"
record_e2e_runs() {
  rm -rf "$shim" "$record"
  mkdir -p "$shim" "$record"
  cp -a "$before/model" "$before/sound" "$before/net.bmp" "$before/star.bmp" "$shim/"
  cat > "$shim/burrowfield-sim" <<EOF
#!/usr/bin/env bash
# Records this call (options, script, a snapshot of the asset folder it is given), then runs the
# real runner.
record="$record"
real="$before/burrowfield-sim"
EOF
  cat >> "$shim/burrowfield-sim" <<'EOF'
for ((n = 0; ; n++)); do
  dir="$record/$(printf %05d "$n")"
  mkdir "$dir" 2>/dev/null && break
done
printf '%s\0' "$@" > "$dir/args"
args=("$@")
for ((i = 0; i + 1 < ${#args[@]}; i++)); do
  value="${args[i + 1]}"
  case "${args[i]}" in
    --script) cp "$value" "$dir/script" 2>/dev/null ;;
    --assets)
      # Hard links keep the folder as it is now, whatever the test moves or spoils later.
      [ -d "$value" ] && { cp -al "$value" "$dir/assets" 2>/dev/null ||
        { rm -rf "$dir/assets"; cp -a "$value" "$dir/assets"; }; } ;;
    --trace) [ "$value" != /dev/stdout ] && [ -d "$(dirname "$value")" ] && touch "$dir/trace-writable" ;;
    --shots-dir) [ -d "$value" ] && [ -w "$value" ] && touch "$dir/shots-writable" ;;
  esac
done
exec "$real" "$@"
EOF
  chmod +x "$shim/burrowfield-sim"
  local test name
  for test in "$root"/tests/e2e/*.sh; do
    name="$(basename "$test" .sh)"
    case "$name" in install | window* | wayland* | runner_signals) continue ;; esac
    if ! bash "$test" "$shim" > "$work/e2e-$name.log" 2>&1; then
      echo "note: e2e test $name failed against BEFORE_BIN (see $work/e2e-$name.log)"
    fi
  done
}
if [ "${COMPARE_REUSE_RECORD:-0}" = 1 ] && [ -d "$record" ]; then
  echo "e2e: reusing the calls recorded in $record"
else
  record_e2e_runs
fi

# Replays one recorded call with one build: the script and the asset folder it was given, its
# outputs written into OUT.
replay() { # RECORD BIN OUT
  local rec="$1" bin="$2" out="$3" i arg value
  local -a original=() args=()
  mkdir -p "$out"
  while IFS= read -r -d '' arg; do original+=("$arg"); done < "$rec/args"
  for ((i = 0; i < ${#original[@]}; i++)); do
    arg="${original[i]}"
    value="${original[i + 1]:-}"
    case "$arg" in
      --script)
        if [ -f "$rec/script" ]; then args+=("$arg" "$rec/script"); else args+=("$arg" "$value"); fi
        i=$((i + 1)) ;;
      --assets)
        if [ -d "$rec/assets" ]; then args+=("$arg" "$rec/assets"); else args+=("$arg" "$value"); fi
        i=$((i + 1)) ;;
      --trace)
        if [ -e "$rec/trace-writable" ]; then args+=("$arg" "$out/trace.jsonl"); else args+=("$arg" "$value"); fi
        i=$((i + 1)) ;;
      --shots-dir)
        if [ -e "$rec/shots-writable" ]; then
          mkdir -p "$out/shots"
          args+=("$arg" "$out/shots")
        else
          args+=("$arg" "$value")
        fi
        i=$((i + 1)) ;;
      --memory-log)
        args+=("$arg" "$out/memory.log")
        i=$((i + 1)) ;;
      *) args+=("$arg") ;;
    esac
  done
  run_sim "$bin" "$out" "${args[@]}"
}

recorded=0
for rec in "$record"/*; do
  [ -f "$rec/args" ] || continue
  recorded=$((recorded + 1))
  replay "$rec" "$before" "$work/run/before"
  replay "$rec" "$after" "$work/run/after"
  compare_runs "e2e run $(basename "$rec") ($(tr '\0' ' ' < "$rec/args" | cut -c1-80))" \
    "$work/run/before" "$work/run/after"
  rm -rf "$work/run"
done
echo "e2e: $recorded runner calls replayed, $traced_ticks trace lines so far"

# --- 3. Long computer battles -------------------------------------------------------------------
# Player 0 moves to the stage row, from the start-up stage 1 to STAGE, leaves, and Enter is held
# for good, so battle follows battle. Stages 0 and 1 share their rules, so stage 0 first leaves a
# short battle with Escape: its battles are others. Computer tanks can lock themselves against a
# wall for good (they see items through walls), so Escape also ends whatever battle runs every
# 7919 ticks; one that falls on the one selection tick between two battles ends the run there,
# the same way in both builds.
stage_script() { # STAGE
  local stage="$1" t=3 i
  echo "1 down 40"
  echo "2 up 40"
  if [ "$stage" -eq 0 ]; then echo "$t down 37"; echo "$((t + 1)) up 37"; t=$((t + 2)); fi
  for ((i = 1; i < stage; i++)); do echo "$t down 39"; echo "$((t + 1)) up 39"; t=$((t + 2)); done
  echo "$t down 17 2"
  echo "$((t + 1)) up 17 0"
  echo "$((t + 2)) down 13"
  if [ "$stage" -eq 0 ]; then echo "$((t + 303)) down 27"; echo "$((t + 304)) up 27"; fi
  for ((i = 7919; i < ticks; i += 7919)); do echo "$i down 27"; echo "$((i + 1)) up 27"; done
}

# The two traces are streamed side by side into cmp: nothing this large is kept.
stream() { # BIN SCRIPT SUMMARY_FILE
  "$1/burrowfield-sim" --script "$2" --ticks "$ticks" --trace /dev/stdout 2>/dev/null |
    sed 's/ seconds=[0-9.]*$//' | without_new_fields | tee >(tail -n 1 > "$3")
}
for stage in 0 1 2 3 4; do
  script="$work/stage$stage.txt"
  stage_script "$stage" > "$script"
  rm -f "$work/summary-after"
  runs=$((runs + 1))
  if where="$(cmp <(stream "$before" "$script" /dev/null) <(stream "$after" "$script" "$work/summary-after") 2>&1)"; then
    # The summary is written by the tee's reader, which may finish a moment after cmp.
    for _ in $(seq 100); do [ -s "$work/summary-after" ] && break; sleep 0.1; done
    summary="$(cat "$work/summary-after")"
    traced_ticks=$((traced_ticks + $(sed -n 's/^ticks=\([0-9]*\) .*/\1/p' <<< "$summary")))
    echo "stage $stage: same, $summary"
  else
    different "stage $stage long battles: $where"
  fi
done

# --- 4. Screenshots -----------------------------------------------------------------------------
shot_ticks="1,200,600,1100,1499"
for stage in 0 1 2 3 4; do
  for side in before after; do
    bin="$before"
    [ "$side" = after ] && bin="$after"
    mkdir -p "$work/run/$side/shots"
    run_sim "$bin" "$work/run/$side" --script "$work/stage$stage.txt" --ticks 1500 \
      --trace "$work/run/$side/trace.jsonl" --shot "$shot_ticks" --shots-dir "$work/run/$side/shots"
  done
  compare_runs "stage $stage rendered" "$work/run/before" "$work/run/after"
  rm -rf "$work/run"
done

# A crowded selection screen: player 1 joins from the keyboard, players 2 and 3 from the
# joysticks, everyone moves through the tank types and player 0 through the stages; then a battle
# of four people, whose panels show every player's icon.
cat > "$work/selection.txt" <<'SCRIPT'
joysticks 2
2 down 70
3 up 70
4 joy 0 32768 32768 1
5 joy 0 32768 32768 0
6 joy 1 32768 32768 1
7 joy 1 32768 32768 0
8 down 68
9 up 68
10 down 68
11 up 68
12 joy 0 65535 32768 0
13 joy 0 32768 32768 0
14 joy 1 0 32768 0
15 joy 1 32768 32768 0
16 joy 1 0 32768 0
17 joy 1 32768 32768 0
18 down 37
19 up 37
20 down 40
21 up 40
22 down 39
23 up 39
24 down 39
25 up 39
40 down 13
41 up 13
60 down 38
200 down 17 2
202 up 17 0
SCRIPT
for side in before after; do
  bin="$before"
  [ "$side" = after ] && bin="$after"
  mkdir -p "$work/run/$side/shots"
  run_sim "$bin" "$work/run/$side" --script "$work/selection.txt" --ticks 400 \
    --trace "$work/run/$side/trace.jsonl" --shot "3,9,19,26,39,45,210,399" \
    --shots-dir "$work/run/$side/shots"
done
compare_runs "selection and four-player battle rendered" "$work/run/before" "$work/run/after"
rm -rf "$work/run"

echo "compared $runs runs: $traced_ticks traced ticks, $shots screenshots"
if ((differences > 0)); then
  echo "$differences differences"
  exit 1
fi
echo "no difference"
