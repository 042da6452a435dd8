#!/usr/bin/env bash
# The game's window closed from outside (WM_DELETE_WINDOW, a window manager's close button),
# once on the selection screen and once during a battle: the game ends in order with status 0.
source "$(dirname "${BASH_SOURCE[0]}")/lib/common.bash"
source "$here/xvfb_session.bash"
trap xvfb_cleanup EXIT

xvfb_start

game_start SDL_AUDIODRIVER=dummy
wait_for close-selection 20 selection 1 0:0
game_close
game_wait_exit 10
[ "$game_rc" -eq 0 ] || fail "closed on the selection screen: status $game_rc"
check_clean_stderr "closed on the selection screen"
echo "[$SECONDS s] closed on the selection screen: status 0"

game_start SDL_AUDIODRIVER=dummy
wait_for close-selection-2 20 selection 1 0:0
press Return close-battle 30 battle full 0
# Closed while player 0 drives, once the view shows the tank turning.
xdotool keydown Up keydown Left || fail "xdotool cannot press Up and Left"
wait_for close-driving 20 differs "$work/close-battle.xwd" 0
game_close
xdotool keyup Up keyup Left
game_wait_exit 10
[ "$game_rc" -eq 0 ] || fail "closed during a battle: status $game_rc"
check_clean_stderr "closed during a battle"
echo "[$SECONDS s] closed during a battle: status 0"
echo "window close: ok"
