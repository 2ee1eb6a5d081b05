#!/usr/bin/env python3
"""orvtest-check and the viewer agree on every file of the corpus.

Runs the differential run (orvtest-differential) on tests/data/corpus, the
shipped files and two chains of moons just inside and just outside what the
engine can walk, and checks what became of each: refused at start, stopped by
the engine, or run without a finding.

Usage: corpus_agreement.py DIFFERENTIAL DATA_DIR PLUGIN_DIR CORPUS_DIR BUILT_BELT WORK_DIR
"""

import os
import subprocess
import sys

MOON_LEVELS = 1000   # sim/WorldLimits.h maxMoonDepth

REFUSED = {"light-range-negative", "light-range-huge", "stars-beyond-the-world", "near-clip-huge", "near-clip-zero",
           "chain-too-deep", "nul-bytes-read-apart"}
STOPPED = {"model-missing", "model-path", "parent-after-moon", "parent-unknown", "parents-in-a-ring",
           "section-named-sun"}


def chain(levels):
    sections = []
    parent = "Sun"
    for n in range(levels):
        name = "c%05d" % n
        sections.append("[%s]\nName=m%d\nParent=%s\nModel=SphereMesh_4x6\nMaterial=default\nSize=5\nOrbitRadius=10\n"
                        "OrbitPeriod=1\nPitchPeriod=0\nYawPeriod=0\nRollPeriod=0\n" % (name, n, parent))
        parent = name
    return "".join(sections)


def main():
    differential, data, plugins, corpus, belt, work = sys.argv[1:7]
    os.makedirs(work, exist_ok=True)
    files = sorted(os.path.join(corpus, name) for name in os.listdir(corpus))
    for name, levels in (("chain-deepest", MOON_LEVELS), ("chain-too-deep", MOON_LEVELS + 1)):
        path = os.path.join(work, name + ".cfg")
        with open(path, "w") as stream:
            stream.write(chain(levels))
        files.append(path)
    files += [os.path.join(data, "1.cfg"), belt]
    done = subprocess.run([differential, data, plugins] + files, stdout=subprocess.PIPE, text=True)
    print(done.stdout)
    failures = [] if done.returncode == 0 else ["the run found a disagreement (exit %d)" % done.returncode]
    outcomes = {}
    for line in done.stdout.splitlines():
        if not line.startswith(" ") and ": " in line:
            path, outcome = line.split(": ", 1)
            outcomes[os.path.splitext(os.path.basename(path))[0]] = outcome
    for path in files:
        name = os.path.splitext(os.path.basename(path))[0]
        expected = "refused at start" if name in REFUSED else "stopped by the engine" if name in STOPPED else "ran"
        if not outcomes.get(name, "").startswith(expected):
            failures.append("%s: %r, expected %r" % (name, outcomes.get(name), expected))
    for failure in failures:
        print("FAILED " + failure)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
