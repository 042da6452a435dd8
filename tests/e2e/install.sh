#!/usr/bin/env bash
# Installs the game into a temporary prefix, moves the whole tree elsewhere and runs it from
# there: the runner through a symlink, and the real game in a window. The installed tree holds
# everything the game reads and everything a desktop expects of a game: a menu entry whose
# StartupWMClass is the game window's class, icons from 16 to 256 pixels, AppStream metainfo and
# manual pages, each passing its own validator.
source "$(dirname "${BASH_SOURCE[0]}")/lib/common.bash"
build="$(cd "$bin/.." && pwd)"
source "$here/xvfb_session.bash"
trap xvfb_cleanup EXIT

app_id=org.burrowfield.Burrowfield
installed="$work/installed here"
cmake --install "$build" --prefix "$installed" > "$work/install.log" 2>&1 ||
  fail "install failed: $(cat "$work/install.log")"

# Only the game and the runner are installed, never the tools, tests or benchmarks.
for tool in assetgen burrowfield-tests battle_bench scene_bench surface_bench; do
  [ -z "$(find "$installed" -name "$tool")" ] || fail "$tool was installed"
done

# The tree moves as a whole: the game finds its data from its own executable's directory.
prefix="$work/moved prefix"
mv "$installed" "$prefix"
for file in bin/burrowfield bin/burrowfield-sim share/burrowfield/net.bmp \
  share/burrowfield/star.bmp share/burrowfield/burrowfield.bmp share/burrowfield/model/bear.x \
  share/burrowfield/sound/bgm0.wav "share/applications/$app_id.desktop" \
  "share/metainfo/$app_id.metainfo.xml" share/man/man6/burrowfield.6 \
  share/man/man6/burrowfield-sim.6; do
  [ -s "$prefix/$file" ] || fail "$file is not installed"
done
sim="$prefix/bin/burrowfield-sim"

# A battle through the installed runner, started by Enter at tick 0.
printf '0 down 13\n1 up 13\n' > "$work/battle.txt"
(cd "$work" && "$sim" --script battle.txt --ticks 30 --trace trace.jsonl > out.txt 2> err.txt) ||
  fail "installed runner failed: $(cat "$work/err.txt")"
grep -q '^ticks=30 battles=1 ' "$work/out.txt" || fail "no battle: $(cat "$work/out.txt")"
[ "$(wc -l < "$work/trace.jsonl")" -eq 30 ] || fail "expected 30 trace lines"
grep -q '"screen":"battle"' "$work/trace.jsonl" || fail "the trace never shows the battle"
! grep -qi 'warning\|cannot' "$work/err.txt" || fail "asset complaints: $(cat "$work/err.txt")"

# Rendering proves the installed meshes and textures load; a symlinked runner still finds them.
ln -s "$sim" "$work/linked-sim"
mkdir "$work/shots"
"$work/linked-sim" --script "$work/battle.txt" --ticks 30 --render --shot 20 \
  --shots-dir "$work/shots" > "$work/out.txt" 2> "$work/err.txt" ||
  fail "installed runner failed to render: $(cat "$work/err.txt")"
[ -s "$work/shots/tick-20.png" ] || fail "no screenshot from the installed runner"
! grep -qi 'cannot load' "$work/err.txt" || fail "asset complaints: $(cat "$work/err.txt")"

# The menu entry.
desktop="$prefix/share/applications/$app_id.desktop"
desktop-file-validate "$desktop" || fail "desktop-file-validate rejects the entry"
for line in 'Type=Application' 'Name=Burrowfield' 'Exec=burrowfield' 'Icon=burrowfield' \
  'Terminal=false' 'Categories=Game;ActionGame;'; do
  grep -qx "$line" "$desktop" || fail "the .desktop entry lacks '$line'"
done
for key in Comment Keywords StartupWMClass; do
  grep -q "^$key=." "$desktop" || fail "the .desktop entry has no $key"
done

# Its icon at every size a desktop looks for, each a PNG of its own size.
python3 - "$prefix/share/icons/hicolor" <<'PY' || fail "icons"
import struct, sys
for size in (16, 32, 48, 64, 128, 256):
    path = f"{sys.argv[1]}/{size}x{size}/apps/burrowfield.png"
    data = open(path, "rb").read(24)
    assert data[:8] == b"\x89PNG\r\n\x1a\n" and data[12:16] == b"IHDR", path
    assert struct.unpack(">II", data[16:24]) == (size, size), (path, struct.unpack(">II", data[16:24]))
PY

# The metainfo: valid without a single warning (no network: its links are not fetched), and it
# names the menu entry as what launches it. Its one note may be that <developer>, which took the
# place of <developer_name> in AppStream 1.0, is unknown to an older appstreamcli (0.16 in
# Debian 12).
metainfo="$prefix/share/metainfo/$app_id.metainfo.xml"
appstreamcli validate --explain --no-net "$metainfo" > "$work/appstream.txt" 2>&1 ||
  fail "appstreamcli rejects the metainfo: $(cat "$work/appstream.txt")"
! grep -E '^[EWI]: ' "$work/appstream.txt" | grep -vqE '^I: [^ ]+ unknown-tag developer$' ||
  fail "appstreamcli has remarks on the metainfo: $(cat "$work/appstream.txt")"
for tag in '<project_license>MIT</project_license>' '<developer id="org.burrowfield">' \
  '<color type="primary" scheme_preference="light">' \
  '<color type="primary" scheme_preference="dark">'; do
  grep -qF "$tag" "$metainfo" || fail "the metainfo lacks $tag"
done
grep -q "<id>$app_id</id>" "$metainfo" || fail "the metainfo's id is not $app_id"
grep -q "<launchable type=\"desktop-id\">$app_id.desktop</launchable>" "$metainfo" ||
  fail "the metainfo does not launch $app_id.desktop"

# The manual pages format without a warning, and each program's page names every option the
# program itself lists.
for page in "$prefix"/share/man/man6/*.6; do
  warnings="$(groff -man -ww -z "$page" 2>&1)"
  [ -z "$warnings" ] || fail "$(basename "$page"): $warnings"
done
for program in burrowfield burrowfield-sim; do
  "$prefix/bin/$program" --no-such-option > /dev/null 2> "$work/usage.txt"
  for option in $(grep -o -- '--[a-z-]*' "$work/usage.txt" | sort -u); do
    [ "$option" = --no-such-option ] && continue
    grep -qF -- "${option//-/\\-}" "$prefix/share/man/man6/$program.6" ||
      fail "$program.6 does not describe $option"
  done
done

# The real game from the moved tree, in a window: its class is the entry's StartupWMClass, it
# has its icon, and a battle loads the installed models. Escape twice ends it with status 0.
bin="$prefix/bin"
xvfb_start
game_start SDL_AUDIODRIVER=dummy
wait_for installed-selection 20 selection 1 0:0
window="$(xdotool search --name '^Burrowfield$' | head -1)"
[ -n "$window" ] || fail "no game window"
class="$(sed -n 's/^StartupWMClass=//p' "$desktop")"
xprop -id "$window" WM_CLASS | grep -qF "= \"$class\", \"$class\"" ||
  fail "the window's class is not '$class': $(xprop -id "$window" WM_CLASS)"
# Read whole before matching: grep -q stops at the first match, and xprop, cut off, would fail
# the pipeline.
icons="$(xprop -id "$window" _NET_WM_ICON)"
grep -q 'Icon (64 x 64)' <<<"$icons" || fail "the window has no 64 x 64 icon"
press Return installed-battle 30 battle full 0
tap Escape
wait_for installed-back 20 selection 1 0:0
tap Escape
game_wait_exit 10
[ "$game_rc" -eq 0 ] || fail "the installed game ended with status $game_rc"
! grep -qi 'warning\|cannot' "$work/game.err" || fail "asset complaints: $(cat "$work/game.err")"
check_clean_stderr "installed game"
echo "install: ok"
