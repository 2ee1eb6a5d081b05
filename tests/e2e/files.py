"""Reading the files again while the viewer runs, and files no one should write."""

import math
import os
import shutil
import time

from common import (SANITIZED, check, facing_system, finish, moon_centre, picture_until, set_setting, wait_until,
                    write_system, bright_count, xdrive, Failure)


def reload_after_writing(args, display):
    """A saved system file moves the moon within 2 s; a broken one keeps it and says why; settings too."""
    facing_system(args.folder)
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

    rewrite("Parent=Frmae", "Parent=Frame")
    rewrite("OrbitCompleted=150", "OrbitCompleted=60")
    wait_until(lambda: math.hypot(*(a - b for a, b in zip(moon_centre(viewer, "back.png"), first))) < 3,
               30, "the moon back where it began", interval=0.2)

    # The settings: stars come at once.
    set_setting(args.folder, "Density", "3000")
    picture_until(viewer, "stars.png", (800, 150, 0, 50), lambda rows: bright_count(rows, 40) > 20, "no stars came")
    display.key("Escape")
    finish(viewer)


def hostile_files(args, display):
    """Absurd but readable corpus files: the viewer draws, jumps, flies and names without a crash."""
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
