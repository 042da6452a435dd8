#!/usr/bin/env bash
# Installs the game into a temporary prefix and runs it from there through the bin launcher:
# the installed tree must hold everything the game reads, wherever the prefix is.
set -uo pipefail
bin="$1"
build="$(cd "$bin/.." && pwd)"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

prefix="$work/prefix with space"
cmake --install "$build" --prefix "$prefix" > "$work/install.log" 2>&1 ||
  fail "install failed: $(cat "$work/install.log")"
sim="$prefix/bin/burrowfield-sim"
[ -x "$sim" ] && [ -x "$prefix/bin/burrowfield" ] || fail "launchers missing from bin"

# Only the game and the runner are installed, never the tools, tests or benchmarks.
for tool in assetgen burrowfield-tests battle_bench scene_bench; do
  [ -z "$(find "$prefix" -name "$tool")" ] || fail "$tool was installed"
done

# A battle through the installed runner, started by Enter at tick 0.
printf '0 down 13\n1 up 13\n' > "$work/battle.txt"
(cd "$work" && "$sim" --script battle.txt --ticks 30 --trace trace.jsonl > out.txt 2> err.txt) ||
  fail "installed runner failed: $(cat "$work/err.txt")"
grep -q '^ticks=30 battles=1 ' "$work/out.txt" || fail "no battle: $(cat "$work/out.txt")"
[ "$(wc -l < "$work/trace.jsonl")" -eq 30 ] || fail "expected 30 trace lines"
grep -q '"screen":"battle"' "$work/trace.jsonl" || fail "the trace never shows the battle"
! grep -qi 'warning\|cannot' "$work/err.txt" || fail "asset complaints: $(cat "$work/err.txt")"

# Rendering proves the installed meshes and textures load; a symlinked launcher still finds them.
ln -s "$sim" "$work/linked-sim"
mkdir "$work/shots"
"$work/linked-sim" --script "$work/battle.txt" --ticks 30 --render --shot 20 \
  --shots-dir "$work/shots" > "$work/out.txt" 2> "$work/err.txt" ||
  fail "installed runner failed to render: $(cat "$work/err.txt")"
[ -s "$work/shots/tick-20.png" ] || fail "no screenshot from the installed runner"
! grep -qi 'cannot load' "$work/err.txt" || fail "asset complaints: $(cat "$work/err.txt")"

# The menu entry and its icon.
desktop="$prefix/share/applications/burrowfield.desktop"
[ -f "$desktop" ] || fail "no .desktop entry"
if command -v desktop-file-validate > /dev/null; then
  desktop-file-validate "$desktop" || fail "desktop-file-validate rejects the entry"
fi
for line in 'Type=Application' 'Name=Burrowfield' 'Exec=burrowfield' 'Icon=burrowfield' \
  'Terminal=false' 'Categories=Game;ActionGame;'; do
  grep -qx "$line" "$desktop" || fail "the .desktop entry lacks '$line'"
done
grep -q '^Comment=.' "$desktop" || fail "the .desktop entry has no Comment"
icon="$prefix/share/icons/hicolor/128x128/apps/burrowfield.png"
python3 - "$icon" <<'PY' || fail "icon is not a 128 x 128 PNG"
import struct, sys
data = open(sys.argv[1], "rb").read(24)
assert data[:8] == b"\x89PNG\r\n\x1a\n" and data[12:16] == b"IHDR", data
assert struct.unpack(">II", data[16:24]) == (128, 128), struct.unpack(">II", data[16:24])
PY
echo "install: ok"
