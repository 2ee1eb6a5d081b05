#!/usr/bin/env python3
"""The benchmarks behind scripts/bench and scripts/soak; see docs/PERFORMANCE.md."""

import argparse
import json
import os
import shutil
import statistics
import subprocess
import sys
import tempfile
import time

import xdrive

WORK = tempfile.mkdtemp(prefix="orvtest-bench-")


def median(values):
    return statistics.median(values) if values else float("nan")


def working_folder(build, settings=None, system=None):
    folder = xdrive.make_working_folder(os.path.join(build, "run"), WORK)
    shutil.copy(os.path.join(build, "bench", "orvtest-probe"), folder)
    if system:
        with open(os.path.join(folder, "bench.cfg"), "w") as stream:
            stream.write(system)
        settings = dict(settings or {}, StaticSystem="bench.cfg")
    path = os.path.join(folder, "OrvTest.cfg")
    with open(path) as stream:
        lines = stream.read().splitlines()
    for key, value in (settings or {}).items():
        lines = [("%s=%s" % (key, value)) if line.split("=")[0] == key else line for line in lines]
    with open(path, "w") as stream:
        stream.write("\n".join(lines) + "\n")
    return folder


def generated_system(count):
    """Planets with moons and moons of moons, spread to fit the start view."""
    text = []
    for i in range(count):
        planet = i % 3 == 0
        text.append("[G%05d]\nName=G%05d\nParent=%s\nModel=SphereMesh_32x64\nMaterial=Planets/Moon\n"
                    "Size=%d\nOrbitRadius=%d\nOrbitPeriod=%g\nPitchPeriod=0\nYawPeriod=0.2\nRollPeriod=0\n"
                    "OrbitCompleted=%d\nNearDistance=16000\n"
                    % (i, i, "Sun" if planet else "G%05d" % (i - 1), 40 if planet else 12,
                       1000 + (i * 7919) % 7000 if planet else 120, 1 + i % 5, (i * 137) % 360))
    return "".join(text)


def run_probe(build, views=(), frames=300, settings=None, system=None):
    """The probe in a fresh folder: its phase times and frame times, plus when we clicked."""
    folder = working_folder(build, settings, system)
    display = xdrive.VirtualDisplay(800, 600)
    try:
        out = open(os.path.join(folder, "probe.json"), "w")
        launched = time.time()
        process = subprocess.Popen(["./orvtest-probe", str(frames), *views], cwd=folder, env=display.env,
                                   stdout=out, stderr=subprocess.DEVNULL)
        dialog = display.find_window(xdrive.DIALOG_TITLE)
        shown = time.time()
        clicked = display.press_dialog_button(dialog, xdrive.ACCEPT)
        process.wait(600)
        out.close()
    finally:
        display.stop()
    with open(os.path.join(folder, "probe.json")) as stream:
        result = json.load(stream)
    result.update(launched=launched, dialogShown=shown, clicked=clicked)
    return result


def print_table(header, rows):
    print("| " + " | ".join(header) + " |")
    print("|" + "|".join("---:" if i else "---" for i in range(len(header))) + "|")
    for row in rows:
        print("| " + " | ".join(str(cell) for cell in row) + " |")
    print()


# ---------------------------------------------------------------- 1. body steps

def bench_steps(build, repeats):
    runs = []
    for _ in range(repeats):
        out = subprocess.run([os.path.join(build, "bench", "orvtest-bench-steps"), "300"], check=True,
                             stdout=subprocess.PIPE, text=True, cwd=WORK).stdout
        rows = [[cell.strip() for cell in line.strip("|").split("|")] for line in out.splitlines()
                if line.startswith("| ") and line[2].isdigit()]
        runs.append([row[:2] + [float(cell) for cell in row[2:]] for row in rows])
    print("### Per-frame body work (headless), medians of %d runs\n" % repeats)
    table = []
    for index, first in enumerate(runs[0]):
        cells = [median([run[index][column] for run in runs]) for column in range(2, 6)]
        table.append([first[0], first[1], "%.0f" % cells[0], "%.0f" % cells[1], "%.2f" % cells[2], "%.0f" % cells[3]])
    print_table(["bodies", "time rate", "steps ns/body/frame", "engine update ns/body/frame (floor)",
                 "steps / floor", "allocations per frame"], table)


# ---------------------------------------------------------------- 2. and 3. start-up and frames

def bench_startup_and_frames(build, repeats):
    runs = [run_probe(build, views=("5.Jupiter", "3.Earth.Moon", "3.Earth"), frames=300) for _ in range(repeats)]
    phases = [
        ("process start to dialog shown", lambda r: r["dialogShown"] - r["launched"]),
        ("settings file", lambda r: r["settings"] - r["processStart"]),
        ("system file", lambda r: r["system"] - r["settings"]),
        ("engine root (before the dialog)", lambda r: r["rootMade"] - r["system"]),
        ("Accept to window open", lambda r: r["windowOpen"] - r["clicked"]),
        ("resources", lambda r: r["resourcesReady"] - r["windowOpen"]),
        ("scene build", lambda r: r["sceneBuilt"] - r["resourcesReady"]),
        ("first frame", lambda r: r["firstFrame"] - r["sceneBuilt"]),
        ("**Accept to first frame**", lambda r: r["firstFrame"] - r["clicked"]),
    ]
    print("### Start-up of the default scene, medians of %d runs (ms)\n" % repeats)
    print_table(["phase", "ms"], [[name, "%.0f" % (1000 * median([f(r) for r in runs]))] for name, f in phases])

    rows = []
    names = {"start": "start view", "5.Jupiter": "after a jump to Jupiter", "3.Earth.Moon": "after a jump to the Moon",
             "3.Earth": "after a jump to Earth"}
    for index, view in enumerate(runs[0]["views"]):
        med = median([r["views"][index]["medianMs"] for r in runs])
        p95 = median([r["views"][index]["p95Ms"] for r in runs])
        rows.append(["default system, " + names[view["view"]], "%.1f" % med, "%.1f" % p95, "%.0f" % (1000 / med)])
    for count in (100, 1000):
        generated = [run_probe(build, frames=300, system=generated_system(count)) for _ in range(repeats)]
        med = median([r["views"][0]["medianMs"] for r in generated])
        p95 = median([r["views"][0]["p95Ms"] for r in generated])
        rows.append(["%d generated bodies, start view" % count, "%.1f" % med, "%.1f" % p95, "%.0f" % (1000 / med)])
    print("### Frame times at 800 x 600 (engine timer, 1 ms resolution), medians of %d runs\n" % repeats)
    print_table(["scene", "median ms", "95th percentile ms", "fps"], rows)


# ---------------------------------------------------------------- 4. memory

def bench_memory(build, frames):
    folder = working_folder(build)
    hud = os.path.join(folder, "hud")
    display = xdrive.VirtualDisplay(800, 600)
    try:
        env = xdrive.hud_environment(display, hud)
        process = subprocess.Popen(["./orvtest"], cwd=folder, env=env, stdout=subprocess.DEVNULL,
                                   stderr=subprocess.DEVNULL)
        dialog = display.find_window(xdrive.DIALOG_TITLE)
        display.press_dialog_button(dialog, xdrive.ACCEPT)
        started = time.time()
        drawn, settled, end, peak = xdrive.soak(process, hud, frames)
        seconds = time.time() - started
        display.key("Escape")
        code = process.wait(60)
    finally:
        display.stop()
    print("### Memory of the default scene over %d frames (%.0f s, exit code %d)\n" % (drawn, seconds, code))
    print_table(["resident memory", "MiB"],
                [["after the first tenth of the frames", "%.1f" % (settled / 1024)],
                 ["at the end", "%.1f" % (end / 1024)],
                 ["growth", "%+.1f" % ((end - settled) / 1024)],
                 ["peak", "%.1f" % (peak / 1024)]])
    return end - settled, code


# ---------------------------------------------------------------- 5. the peer

def steady_after(samples, period, start_offset):
    """Seconds until the frame rate first comes within 10 % of its later median."""
    if len(samples) < 20:
        return float("nan")
    target = median(samples[len(samples) // 2:])
    for index, value in enumerate(samples):
        if abs(value - target) <= 0.1 * target:
            return start_offset + (index + 1) * period
    return float("nan")


def measure_program(command, folder, before_measure, steady_seconds=3.0, measure_seconds=10.0, accept=False):
    hud = os.path.join(folder, "hud-%d" % int(time.time() * 1000))
    display = xdrive.VirtualDisplay(800, 600)
    try:
        env = xdrive.hud_environment(display, hud)
        launched = time.time()
        process = subprocess.Popen(command, cwd=folder, env=env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        zero = launched
        if accept:
            dialog = display.find_window(xdrive.DIALOG_TITLE)
            zero = display.press_dialog_button(dialog, xdrive.ACCEPT)
        while not os.path.exists(os.path.join(hud, "fps")):
            time.sleep(0.01)
        hud_start = time.time() - zero
        time.sleep(steady_seconds)
        steady = steady_after(xdrive.hud_samples(hud), 0.1, hud_start)
        before_measure(display)
        first = len(xdrive.hud_samples(hud))
        time.sleep(measure_seconds)
        fps = median(xdrive.hud_samples(hud)[first + 10:])
        peak = xdrive.memory_kib(process.pid, "VmHWM")
        process.terminate()
        try:
            process.wait(10)
        except subprocess.TimeoutExpired:
            process.kill()
    finally:
        display.stop()
    return fps, steady, peak


def bench_peer(build, repeats):
    ours, theirs = [], []

    def jump_to_earth(display):
        # Earth is the third body: two clicks on from the first, past the action delay.
        for _ in range(2):
            display.run("xdotool", "click", "1")
            time.sleep(0.4)

    def pause(display):
        display.key("p")

    for _ in range(repeats):
        ours.append(measure_program(["./orvtest"], working_folder(build), jump_to_earth, accept=True))
        theirs.append(measure_program(["openuniverse", "-fullscreen", "800x600:24"], WORK, pause))
    rows = []
    for label, index, fmt, better in (("close-up of Earth, fps", 0, "%.0f", "higher"),
                                      ("seconds to a steady frame rate (ours from Accept, the peer's from launch)",
                                       1, "%.2f", "lower"),
                                      ("peak resident memory, MiB", 2, "%.0f", "lower")):
        a = median([run[index] for run in ours])
        b = median([run[index] for run in theirs])
        if index == 2:
            a, b = a / 1024, b / 1024
        rows.append([label, fmt % a, fmt % b, "%.2f" % (a / b), better + " is better"])
    print("### Against OpenUniverse on the same 800 x 600 virtual display (Mesa's GALLIUM_HUD for both), "
          "medians of %d runs\n" % repeats)
    print_table(["measure", "OrvTest", "OpenUniverse", "ratio", ""], rows)


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--build", required=True)
    parser.add_argument("--repeats", type=int, default=3)
    parser.add_argument("--soak-frames", type=int, default=20000)
    parser.add_argument("--only-soak", action="store_true")
    args = parser.parse_args()
    build = os.path.abspath(args.build)
    try:
        if args.only_soak:
            growth, code = bench_memory(build, args.soak_frames)
            return 0 if growth <= 4096 and code == 0 else 1
        print("Machine: %s, %d cores; Mesa llvmpipe under Xvfb\n" % (os.uname().machine, os.cpu_count()))
        bench_steps(build, args.repeats)
        bench_startup_and_frames(build, args.repeats)
        bench_peer(build, args.repeats)
        bench_memory(build, args.soak_frames)
        return 0
    finally:
        shutil.rmtree(WORK, ignore_errors=True)


if __name__ == "__main__":
    sys.exit(main())
