#!/usr/bin/env bash
# Measures the game's performance on this machine in one run and prints two Markdown tables:
# one row per stage (a rendered battle tick: four views and the composed screen, on whatever
# OpenGL the machine has, Mesa's software renderer here; the presentation of the screen scaled to
# a 1920 x 1080 window; the whole tick in that window, alone and beside one busy process; Enter
# to the first tick of a second battle; the resident memory of the game in a real window during a
# battle on that stage), then the measures of the whole game (battle ticks per second without
# rendering, the CPU the game uses while the selection screen waits in a real window, the ticks a
# 60 s battle in the real fullscreen window loses beside one busy process). The real window is on
# Xvfb at 1920 x 1080; the busy process is `yes > /dev/null`.
#   tools/perf-report.sh [BUILD_DIR]
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="${1:-$root/build}"
bin="$build/bin"
work="$(mktemp -d)"
xvfb=""
game=""
busy=""
cleanup() {
  [ -n "$game" ] && kill "$game" 2> /dev/null || true
  [ -n "$busy" ] && kill "$busy" 2> /dev/null || true
  [ -n "$xvfb" ] && kill "$xvfb" 2> /dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

"$bin/battle_bench" --benchmark_filter='BM_BattleTick/2/' --benchmark_min_time=2 \
  --benchmark_format=json > "$work/plain.json" 2> /dev/null
BF_BENCH_RENDER=1 "$bin/battle_bench" --benchmark_filter='BM_BattleTick|BM_EnterToFirstTick' \
  --benchmark_min_time=2 --benchmark_format=json > "$work/render.json" 2> /dev/null

# A real window on a virtual X display of a common desktop size.
mkfifo "$work/displayfd"
Xvfb -displayfd 9 -screen 0 1920x1080x24 -nolisten tcp -noreset 9> "$work/displayfd" \
  > /dev/null 2>&1 &
xvfb=$!
read -r -t 10 number < "$work/displayfd"
export DISPLAY=":$number" SDL_AUDIODRIVER=dummy
window_ticks() {
  "$bin/battle_bench" --benchmark_filter='BM_WindowTick' --benchmark_min_time=2 \
    --benchmark_format=json > "$work/$1.json" 2> /dev/null
}
start_busy() {
  yes > /dev/null &
  busy=$!
}
stop_busy() {
  kill "$busy"
  wait "$busy" 2> /dev/null || true
  busy=""
}
window_ticks window
start_busy
window_ticks loaded
stop_busy

# The game samples its input once per 20 ms tick: a key is held for several ticks.
hold() { xdotool keydown "$1" && sleep 0.15 && xdotool keyup "$1" && sleep 0.1; }
cpu_ticks() { awk '{print $14 + $15}' "/proc/$1/stat"; }
start_game() {
  "$bin/burrowfield" > /dev/null 2>&1 &
  game=$!
  sleep 3
}
quit_game() {
  hold Escape
  sleep 1
  hold Escape
  wait "$game" || true
  game=""
}

start_game
before=$(cpu_ticks "$game")
sleep 10
after=$(cpu_ticks "$game")
quit_game

# The game starts on stage 1; player 1's Down picks the stage row, Left and Right the stage.
choose_stage() {
  hold Down
  if [ "$1" -eq 0 ]; then hold Left; fi
  for ((i = 1; i < $1; i++)); do hold Right; done
}

# A fresh game per stage, so that each row holds only what that stage's battle needs.
for stage in 0 1 2 3 4; do
  start_game
  choose_stage "$stage"
  hold Return
  sleep 8
  awk '/VmRSS/ {print $2}' "/proc/$game/status" > "$work/rss$stage"
  quit_game
done

# A minute of the busiest stage's battles, fullscreen, beside the busy process; the game's tick
# log counts the ticks each battle worked and those it lost. Nobody joins (Ctrl takes player 1
# out), so the computers play at one speed throughout, and Enter every few seconds starts the
# next battle when one has ended (in a battle it does nothing).
export BF_TICK_LOG="$work/ticks.log"
start_game
start_busy
choose_stage 4
hold Control_L
hold Return
for ((i = 0; i < 12; i++)); do
  sleep 5
  hold Return
done
quit_game
stop_busy
unset BF_TICK_LOG

python3 - "$work" "$before" "$after" "$(getconf CLK_TCK)" << 'PY'
import json, sys
work = sys.argv[1]
before, after, hz = (float(v) for v in sys.argv[2:5])
rows = {}
for name in ("plain", "render", "window", "loaded"):
    rows[name] = json.load(open(f"{work}/{name}.json"))["benchmarks"]
def find(name, prefix):  # names carry suffixes such as /real_time
    return next(r for r in rows[name] if r["name"].startswith(prefix + "/") or r["name"] == prefix)
def ms(value):
    return f"{value:.2f} ms"
print("| Stage | Rendered tick, median | 99th percentile | Presenting at 1920 x 1080, median "
      "| Window tick, median / 99th | Beside a busy process "
      "| Enter to the first tick | Resident memory, real window |")
print("|---|---|---|---|---|---|---|---|")
for stage in range(5):
    tick = find("render", f"BM_BattleTick/{stage}")
    window = find("window", f"BM_WindowTick/{stage}")
    loaded = find("loaded", f"BM_WindowTick/{stage}")
    enter = find("render", f"BM_EnterToFirstTickOfSecondBattle/{stage}")
    rss = int(open(f"{work}/rss{stage}").read()) / 1024
    print(f"| {stage} | {ms(tick['median_ms'])} | {ms(tick['p99_ms'])} "
          f"| {ms(window['present_median_ms'])} "
          f"| {window['median_ms']:.2f} / {ms(window['p99_ms'])} "
          f"| {loaded['median_ms']:.2f} / {ms(loaded['p99_ms'])} "
          f"| {enter['real_time']:.1f} ms | {rss:.0f} MiB |")
print("| Target | <= 4 ms | <= 10 ms | <= 4 ms | <= 10 / 16 ms | <= 10 / 16 ms | < 50 ms | |")
print()
plain = find("plain", "BM_BattleTick/2")
cpu = 100.0 * (after - before) / hz / 10.0
worked = lost = 0
for line in open(f"{work}/ticks.log"):
    words = line.split()
    worked += int(words[words.index("ticks") + 1])
    lost += int(words[words.index("lost") + 1])
print("| Measure | Measured | Target |")
print("|---|---|---|")
print(f"| Battle ticks per second, no rendering | {plain['ticks_per_s']:,.0f} | >= 100,000 |")
print(f"| CPU while the selection screen waits (real window, 10 s) | {cpu:.1f}% of one core "
      "| < 3% |")
print(f"| Battle ticks lost in a minute of stage 4 fullscreen beside a busy process | {lost} of "
      f"{worked + lost} | 0 |")
PY
