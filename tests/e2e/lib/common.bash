# The start every end-to-end script shares (sourced first, not run). A script is called with the
# folder of the build's programs and assets (BIN_DIR), works in a folder of its own that goes when
# it ends, and fails with one line on standard error.
#
# Sets `here` (tests/e2e), `bin`, `sim` (the runner) and `work`, and `fail MESSAGE`. Python run
# from a script, a file beside it or a heredoc, finds the shared checks as `from lib import trace`.
set -uo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
bin="${1:?usage: $(basename "$0") BIN_DIR}"
sim="$bin/burrowfield-sim"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
export PYTHONPATH="$here${PYTHONPATH:+:$PYTHONPATH}"
# The checks run from the source tree, which they leave as it was checked out.
export PYTHONDONTWRITEBYTECODE=1

fail() {
  echo "FAIL: $*" >&2
  exit 1
}

[ -x "$sim" ] || fail "no runner at $sim"
