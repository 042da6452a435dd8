#!/usr/bin/env bash
# The pads keep playing while another window has the keyboard's focus: the window tests'
# program (tests/window) on a private X display, with and without the game's SDL hint.
source "$(dirname "${BASH_SOURCE[0]}")/lib/common.bash"
source "$here/xvfb_session.bash"
trap xvfb_cleanup EXIT

tests="$bin/burrowfield-window-tests"
[ -x "$tests" ] || fail "no window tests at $tests"
xvfb_start
SDL_AUDIODRIVER=dummy "$tests" --gtest_filter='BackgroundPads*' >"$work/tests.out" 2>&1 ||
  fail "background pads:
$(cat "$work/tests.out")"
grep -q '^\[  PASSED  \] 2 tests' "$work/tests.out" || fail "not both cases ran:
$(cat "$work/tests.out")"
grep -E '^\[ +OK \]' "$work/tests.out"
echo "background pads: ok"
