#!/usr/bin/env bash
# Makes the README's pictures with the headless runner and assetgen: the selection screen, a
# battle, and the contact sheet of every model.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
bin="${1:-$root/build/bin}"
out="$root/docs"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
# Player 1 joins (F) and both pick tank types; player 0 moves to the stage row and picks the
# fortress (stage index 2); Enter starts the battle; both drive and fire.
cat > "$work/script.txt" <<'SCRIPT'
2 down 70
3 up 70
4 down 39
5 up 39
6 down 39
7 up 39
8 down 39
9 up 39
10 down 39
11 up 39
12 down 65
13 up 65
14 down 65
15 up 65
16 down 40
17 up 40
18 down 39
19 up 39
40 down 13
41 up 13
60 down 38
60 down 87
120 down 37
135 up 37
150 down 17 2
151 up 17 0
160 down 70
161 up 70
SCRIPT
"$bin/burrowfield-sim" --script "$work/script.txt" --ticks 400 --shot 39,200 \
  --shots-dir "$work" > /dev/null
cp "$work/tick-39.png" "$out/selection.png"
cp "$work/tick-200.png" "$out/battle.png"
"$bin/assetgen" --out "$work/assets" --contact-sheet "$out/contact-sheet.png" > /dev/null
echo "wrote $out/selection.png, $out/battle.png, $out/contact-sheet.png"
