"""Measuring a running program: its memory, over many frames.

Used by the benchmarks and the soak test; frames are counted by Mesa's
frame-rate counter, as xdrive's Viewer sets it up.
"""

import math

from xdrive import hud_samples, wait_until


def memory_kib(pid, field="VmRSS"):
    """A memory figure of a running process, in KiB (VmRSS now, VmHWM the peak)."""
    try:
        with open("/proc/%d/status" % pid) as stream:
            for line in stream:
                if line.startswith(field + ":"):
                    return int(line.split()[1])
    except OSError:
        pass
    return 0


def soak(process, hud_folder, frames, period=0.1, warmup=0.1, timeout=math.inf):
    """Runs until about `frames` frames have been drawn, sampling resident memory.

    Returns (frames drawn, RSS after the warm-up share of frames, RSS at the end,
    peak RSS), memory in KiB. Raises Timeout if the frames take longer than
    `timeout` seconds."""
    pid = process.pid
    settled = None
    drawn = 0

    def drawn_all():
        nonlocal settled, drawn
        drawn = sum(hud_samples(hud_folder)) * period
        if settled is None and drawn >= warmup * frames:
            settled = memory_kib(pid)
        return drawn >= frames or process.poll() is not None

    wait_until(drawn_all, timeout, "%d frames" % frames, interval=0.5)
    return drawn, settled or 0, memory_kib(pid), memory_kib(pid, "VmHWM")
