#!/usr/bin/env bash
# Every tank type launches its ability from the keyboard in a real battle: player 0 picks the type
# on the selection screen, presses Shift with a full magazine, and the trace must show the launch
# sound, the running timer, the spent magazine and its reload (40 ticks, then 30 per shell).
set -uo pipefail
bin="$1"
sim="$bin/burrowfield-sim"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }
[ -x "$sim" ] || fail "no runner at $sim"

python3 - "$sim" "$work" <<'PY' || fail "ability launches"
import json, subprocess, sys

sim, work = sys.argv[1], sys.argv[2]
FREE = -5000
# Per type: the launch sound and the timer seen at the end of the launch tick (the ability step
# of the same tick has already counted once; the rocket holds 9 and the pyon 100 while they live;
# nets and mines never set it).
LAUNCH = {0: (9, 9), 1: (10, 199), 2: (18, 199), 3: (15, 99), 4: (13, 29), 5: (14, 399),
          6: (12, 49), 7: (11, 0), 8: (8, 100), 9: (17, 0), 10: (16, 249)}
errors = []
for tank_type, (sound, timer) in LAUNCH.items():
    # Right once per type from type 0 (after the screen's set-up has cleared the inputs), Enter,
    # then Shift on the battle's second tick.
    lines = []
    for k in range(tank_type):
        lines += [f"{2 * k + 2} down 39", f"{2 * k + 3} up 39"]
    enter = 2 * tank_type + 4
    launch = enter + 2
    lines += [f"{enter} down 13", f"{enter + 1} up 13", f"{launch} down 16 1", f"{launch + 1} up 16 0"]
    script, trace = f"{work}/s{tank_type}.txt", f"{work}/t{tank_type}.jsonl"
    open(script, "w").write("\n".join(lines) + "\n")
    result = subprocess.run([sim, "--script", script, "--ticks", str(launch + 80), "--trace", trace],
                            capture_output=True, text=True)
    if result.returncode != 0:
        sys.exit(f"type {tank_type}: runner failed: {result.stderr[-1000:]}")
    ticks = [json.loads(line) for line in open(trace)]

    def check(ok, what):
        if not ok:
            errors.append(f"type {tank_type}: {what}")

    before, at = ticks[launch - 1], ticks[launch]
    check(before["screen"] == "battle" and before["playerCharacter"][0] == tank_type,
          f"battle with type {tank_type} not running before tick {launch}")
    check(before["shells"][0] == before["maxShells"][0], "magazine not full before the launch")
    check(at["sounds"].count(sound) == 1, f"launch sound {sound} not played once: {at['sounds']}")
    check(at["abilityState"][0] == timer, f"timer {at['abilityState'][0]}, expected {timer}")
    # The flame burst's first action on the same tick sends its first flame (fireState 3).
    fire_state = 3 if tank_type == 6 else 0
    check(at["fireState"][0] == fire_state, f"fireState {at['fireState'][0]} after the launch")
    check(at["shells"][0] == 0 and at["reloadTimer"][0] == 40,
          f"magazine {at['shells'][0]}, reload {at['reloadTimer'][0]} after the launch")
    if tank_type == 7:
        check(at["netX"][0] == round(at["tankX"][0]) and at["netTimer"][0] == 100, "no net laid")
    if tank_type == 9:
        check(at["mineX"][0] == round(at["tankX"][0]) and at["mineX"][1] == FREE, "no mine laid")
    if tank_type in (2, 5, 10):
        # Launch values are the tank's position, rounded half to even.
        check(at["abilityState"][8] == round(at["tankX"][0]), "ability x not stored")
    if tank_type == 8:  # the pyon has made its first 5-unit hop
        check(abs(at["abilityState"][8] - round(at["tankX"][0])) <= 5, "pyon not at the tank")
    if tank_type != 6:  # the flame burst keeps the magazine empty while it burns
        shells = [t["shells"][0] for t in ticks[launch:launch + 72]]
        check(shells.index(1) == 40, f"first shell after {shells.index(1)} ticks, expected 40")
        if before["maxShells"][0] > 1:
            check(shells.index(2) == 70, f"second shell after {shells.index(2)} ticks")
for e in errors:
    print(e)
sys.exit(1 if errors else 0)
PY
echo "combat abilities: ok"
