#!/usr/bin/env bash
# Measures the game's performance on this machine in one run and prints a Markdown table:
# battle ticks per second without rendering, a rendered battle tick (four views and the screen,
# on whatever OpenGL the machine has: Mesa's software renderer here), Enter to the first tick of
# a second battle, the CPU the game uses while the selection screen waits in a real window under
# Xvfb, and the resident memory of the game during a battle.
#   tools/perf-report.sh [BUILD_DIR]
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="${1:-$root/build}"
bin="$build/bin"
work="$(mktemp -d)"
display=""
cleanup() {
  [ -n "$display" ] && kill "$xvfb" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

"$bin/battle_bench" --benchmark_filter='BM_BattleTick/2' --benchmark_min_time=2 \
  --benchmark_format=json > "$work/plain.json" 2>/dev/null
BF_BENCH_RENDER=1 "$bin/battle_bench" --benchmark_min_time=5 --benchmark_format=json \
  > "$work/render.json" 2>/dev/null

# A real window on a virtual X display.
for n in $(seq 90 120); do
  Xvfb ":$n" -screen 0 1024x768x24 -nolisten tcp > /dev/null 2>&1 &
  xvfb=$!
  sleep 1
  if kill -0 "$xvfb" 2>/dev/null; then display=":$n"; break; fi
done
cpu_ticks() { awk '{print $14 + $15}' "/proc/$1/stat"; }
DISPLAY="$display" SDL_AUDIODRIVER=dummy "$bin/burrowfield" > /dev/null 2>&1 &
game=$!
sleep 3
before=$(cpu_ticks "$game")
sleep 10
after=$(cpu_ticks "$game")
hz=$(getconf CLK_TCK)
DISPLAY="$display" xdotool keydown Return; sleep 0.2; DISPLAY="$display" xdotool keyup Return
sleep 8
rss=$(awk '/VmRSS/ {print $2}' "/proc/$game/status")
DISPLAY="$display" xdotool keydown Escape; sleep 0.2; DISPLAY="$display" xdotool keyup Escape
sleep 1
DISPLAY="$display" xdotool keydown Escape; sleep 0.2; DISPLAY="$display" xdotool keyup Escape
wait "$game" || true

python3 - "$work/plain.json" "$work/render.json" "$before" "$after" "$hz" "$rss" <<'PY'
import json, sys
plain, render = (json.load(open(p))["benchmarks"] for p in sys.argv[1:3])
before, after, hz, rss = (float(v) for v in sys.argv[3:7])
def find(rows, name):
    return next(r for r in rows if r["name"].startswith(name))
tick = find(plain, "BM_BattleTick/2")
drawn = find(render, "BM_BattleTick/2")
enter = find(render, "BM_EnterToFirstTickOfSecondBattle/2")
cpu = 100.0 * (after - before) / hz / 10.0
rows = [
    ("Battle ticks per second, no rendering", f"{tick['ticks_per_s']:,.0f}", ">= 100,000",
     f"{1e6 / tick['ticks_per_s']:.2f} µs of the 20 ms tick"),
    ("Rendered battle tick, four views, median", f"{drawn['median_ms']:.2f} ms", "< 5 ms",
     f"{drawn['median_ms'] / 20 * 100:.0f}% of the tick"),
    ("Rendered battle tick, 99th percentile", f"{drawn['p99_ms']:.2f} ms", "< 12 ms",
     f"{drawn['p99_ms'] / 20 * 100:.0f}% of the tick"),
    ("Enter to the first tick of a second battle", f"{enter['real_time']:.1f} ms", "< 50 ms",
     f"{enter['real_time'] / 20:.1f} ticks"),
    ("CPU while the selection screen waits (real window, 10 s)", f"{cpu:.1f}% of one core",
     "< 3%", ""),
    ("Resident memory during a battle (real window)", f"{rss / 1024:.0f} MiB", "", ""),
]
print("| Measure | Measured | Target | Against the 20 ms tick |")
print("|---|---|---|---|")
for r in rows:
    print("| " + " | ".join(r) + " |")
PY
