"""The checks of combat_abilities.sh, which says what they prove. Usage: SIM WORK_DIR"""
import sys

from lib.trace import FREE, KEY, MASK, SOUND, TANK, load, run_script

sim, work = sys.argv[1], sys.argv[2]
# Per type: the launch sound and the timer seen at the end of the launch tick (the ability step
# of the same tick has already counted once; the rocket holds 9 and the pyon 100 while they live;
# nets and mines never set it).
LAUNCH = {TANK.BEAR: (SOUND.ROCKET, 9), TANK.FOX: (SOUND.FOX, 199), TANK.SKUNK: (SOUND.HE, 199),
          TANK.PIG: (SOUND.SHIELD, 99), TANK.FLYING_SQUIRREL: (SOUND.MOMONGA, 29),
          TANK.FISH: (SOUND.FISH, 399), TANK.MOUSE: (SOUND.FIRE, 49),
          TANK.SPIDER: (SOUND.SPIDER, 0), TANK.RABBIT: (SOUND.PYON, 100),
          TANK.LOG: (SOUND.SET, 0), TANK.CAT: (SOUND.CAT, 249)}
assert sorted(LAUNCH) == list(range(len(vars(TANK)))), "a tank type without its launch"
errors = []
for tank_type, (sound, timer) in LAUNCH.items():
    # Right once per type from type 0 (after the screen's set-up has cleared the inputs), Enter,
    # then Shift on the battle's second tick.
    lines = []
    for k in range(tank_type):
        lines += [f"{2 * k + 2} down {KEY.RIGHT}", f"{2 * k + 3} up {KEY.RIGHT}"]
    enter = 2 * tank_type + 4
    launch = enter + 2
    lines += [f"{enter} down {KEY.ENTER}", f"{enter + 1} up {KEY.ENTER}",
              f"{launch} down {KEY.SHIFT} {MASK.SHIFT}", f"{launch + 1} up {KEY.SHIFT} 0"]
    trace_path = f"{work}/t{tank_type}.jsonl"
    run_script(sim, f"{work}/s{tank_type}.txt", lines, launch + 80, trace_path, f"type {tank_type}")
    ticks = load(trace_path)

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
    fire_state = 3 if tank_type == TANK.MOUSE else 0
    check(at["fireState"][0] == fire_state, f"fireState {at['fireState'][0]} after the launch")
    check(at["shells"][0] == 0 and at["reloadTimer"][0] == 40,
          f"magazine {at['shells'][0]}, reload {at['reloadTimer'][0]} after the launch")
    if tank_type == TANK.SPIDER:
        check(at["netX"][0] == round(at["tankX"][0]) and at["netTimer"][0] == 100, "no net laid")
    if tank_type == TANK.LOG:
        check(at["mineX"][0] == round(at["tankX"][0]) and at["mineX"][1] == FREE, "no mine laid")
    if tank_type in (TANK.SKUNK, TANK.FISH, TANK.CAT):
        # Launch values are the tank's position, rounded half to even.
        check(at["abilityState"][8] == round(at["tankX"][0]), "ability x not stored")
    if tank_type == TANK.RABBIT:  # the pyon has made its first 5-unit hop
        check(abs(at["abilityState"][8] - round(at["tankX"][0])) <= 5, "pyon not at the tank")
    if tank_type != TANK.MOUSE:  # the flame burst keeps the magazine empty while it burns
        shells = [t["shells"][0] for t in ticks[launch:launch + 72]]
        check(shells.index(1) == 40, f"first shell after {shells.index(1)} ticks, expected 40")
        if before["maxShells"][0] > 1:
            check(shells.index(2) == 70, f"second shell after {shells.index(2)} ticks")
for e in errors:
    print(e)
sys.exit(1 if errors else 0)
