"""The checks of runner_signals.sh that read the runner's trace and summary as they stream. Usage:
  signal PIPE PID SIGNAL   reads the trace from PIPE, signals PID once tick 10 is traced, and
                           prints the last trace line, the summary and the seconds they took
  end OUTPUT               that output: the trace goes up to the last tick the summary counts
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
