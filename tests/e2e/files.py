"""Files no one should write."""

import os
import shutil

from common import finish, write_system, xdrive


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


SCENARIOS = [hostile_files]
WINDOW_MANAGER = set()
NO_DISPLAY = set()
