"""Reading the files again while the viewer runs, and files no one should write."""

import math
import os
import shutil
import time

from common import (SANITIZED, check, facing_system, finish, moon_centre, picture_until, set_setting, wait_until,
                    write_system, bright_count, xdrive, Failure)


def reload_after_writing(args, display):
    """Saving the system file moves the moon within two seconds; a broken one keeps it and says why."""
    facing_system(args.folder, period=0)
    system = os.path.join(args.folder, "test.cfg")
    viewer = xdrive.Viewer(display, args.folder)
    viewer.start()
    first = moon_centre(viewer, "before.png")

    def rewrite(old, new):
        with open(system) as stream:
            text = stream.read()
        with open(system, "w") as stream:
            stream.write(text.replace(old, new))

    rewrite("OrbitCompleted=60", "OrbitCompleted=150")
    written = time.time()
    deadline = 10.0 if SANITIZED else 2.0
    try:
        wait_until(lambda: math.hypot(*(a - b for a, b in zip(moon_centre(viewer, "after.png"), first))) > 50,
                   deadline, "the moon to move", interval=0.1)
    except xdrive.Timeout:
        raise Failure("the moon did not move within %.0f s of the save" % deadline)
    moved = moon_centre(viewer, "after.png")
    print("moved %.2f s after the save" % (time.time() - written))

    # A broken file: the picture stays, the viewer runs, the log says where.
    log_end = len(viewer.log_text())
    with open(system) as stream:
        line = stream.read().splitlines().index("Parent=Frame") + 1
    rewrite("Parent=Frame", "Parent=Frmae")
    viewer.wait_for_log("test.cfg:%d: [Frame.Moon] error: Parent 'Frmae' names no body" % line, after=log_end)
    viewer.wait_frames(5)
    check(math.hypot(*(a - b for a, b in zip(moon_centre(viewer, "kept.png"), moved))) < 2, "the moon moved")

    # Written a hundred times a second, deleted, a folder in its place: the viewer goes on.
    with open(system) as stream:
        good = stream.read().replace("Parent=Frmae", "Parent=Frame")
    start = time.time()
    n = 0
    while time.time() - start < 1.0:
        with open(system, "w") as stream:
            stream.write(good[:(n * 97) % len(good)])
        n += 1
        time.sleep(0.01)
    os.remove(system)
    viewer.wait_for_log("test.cfg: error: Cannot open file", after=log_end)
    os.mkdir(system)
    viewer.wait_for_log("not a regular file", after=log_end)
    os.rmdir(system)
    with open(system, "w") as stream:
        stream.write(good.replace("OrbitCompleted=150", "OrbitCompleted=60"))
    wait_until(lambda: math.hypot(*(a - b for a, b in zip(moon_centre(viewer, "back.png"), first))) < 3,
               30, "the moon back where it began", interval=0.2)

    # The settings: stars come at once; the level of detail waits for the next start; a light the
    # engine cannot take is refused, and the viewer goes on.
    set_setting(args.folder, "Density", "3000")
    set_setting(args.folder, "MeshLod", "0")
    viewer.wait_for_log("MeshLod takes effect at the next start", after=log_end)
    picture_until(viewer, "stars.png", (800, 150, 0, 50), lambda rows: bright_count(rows, 40) > 20, "no stars came")
    set_setting(args.folder, "Range", "-1")
    viewer.wait_for_log("Range -1 is not from 0 to 1e+18", after=log_end)
    viewer.wait_frames(10)
    display.key("Escape")
    finish(viewer)


def hostile_files(args, display):
    """Files of the corpus that the checker lets through, absurd but readable, in a real window:
    the viewer draws, jumps and flies without a crash, and a very long name is cut short."""
    corpus = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "data", "corpus")
    for name in ("hostile-values.cfg", "axes-long-and-zero.cfg", "name-very-long.cfg"):
        folder = xdrive.make_working_folder(args.run_dir, args.work)
        with open(os.path.join(corpus, name)) as stream:
            settings, system = stream.read().split("----- system -----\n")
        with open(os.path.join(folder, "OrvTest.cfg"), "a") as stream:
            stream.write("\n" + settings)
        write_system(folder, system)
        viewer = xdrive.Viewer(display, folder)
        viewer.start(frames=3)
        for button in (1, 1, 1, 3):
            display.run("xdotool", "click", str(button))
            viewer.wait_frames(3)
        viewer.hold_key("w")
        display.run("xdotool", "mousemove_relative", "--", "300", "-200")
        display.key("n")
        viewer.wait_frames(5)
        display.key("Escape")
        finish(viewer, timeout=60)
        shutil.rmtree(folder, ignore_errors=True)


SCENARIOS = [reload_after_writing, hostile_files]
WINDOW_MANAGER = set()
NO_DISPLAY = set()
