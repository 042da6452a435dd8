"""The checks of runner_signals.sh that read the runner's trace and summary as they stream.

Usage:
  runner_signals_checks.py signal PIPE PID SIGNAL
      reads the trace from PIPE, sends SIGNAL (INT, TERM) to PID once tick 10 is traced, and
      prints the last two lines read (the last trace line and the summary) and the seconds from
      the signal to the end of the stream
  runner_signals_checks.py end OUTPUT
      that output: the trace was written up to the last tick the summary counts, past tick 10
"""
import collections
import json
import os
import signal
import sys
import time

from lib.trace import summary


def signal_at_tick_10(path, pid, name):
    sig = getattr(signal, "SIG" + name)
    last, sent = collections.deque(maxlen=2), None
    with open(path) as trace:
        for line in trace:
            last.append(line)
            if sent is None and line.startswith('{"tick":10,'):
                os.kill(int(pid), sig)
                sent = time.monotonic()
    sys.stdout.write("".join(last))
    print(f"elapsed {time.monotonic() - sent:.2f}" if sent is not None else "elapsed none")


def written_to_the_end(path):
    last, summary_line, elapsed = open(path).read().splitlines()
    tick = json.loads(last)["tick"]
    result = summary(summary_line)
    assert result, summary_line
    assert result["ticks"] == tick + 1 and tick >= 10 and elapsed != "elapsed none", (
        tick, summary_line, elapsed)


CHECKS = {"signal": signal_at_tick_10, "end": written_to_the_end}
CHECKS[sys.argv[1]](*sys.argv[2:])
