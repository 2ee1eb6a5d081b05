#!/usr/bin/env python3
"""A tour of the viewer for a machine without a desktop: in a virtual display
it accepts the dialog, looks at the start view, jumps through the first bodies
with the left mouse button, saves a screenshot with Print at each stop, and
leaves with Escape. Prints where the pictures are.

Usage: tour.py RUN_DIR
"""

import os
import sys
import time

import xdrive

JUMPS = 4


def main():
    run_dir = os.path.abspath(sys.argv[1])
    display = xdrive.VirtualDisplay(width=800, height=600)
    before = set(f for f in os.listdir(run_dir) if f.startswith("screenshot_"))
    try:
        viewer = xdrive.Viewer(display, run_dir)
        viewer.accept_dialog()
        viewer.wait_for_frames(4.0)
        display.hold_key("Print")
        time.sleep(1.0)
        for _ in range(JUMPS):
            display.press_button(1)
            time.sleep(1.5)
            display.hold_key("Print")
            time.sleep(1.0)
        display.hold_key("Escape")
        code = viewer.wait(30)
    finally:
        display.stop()
    shots = sorted((f for f in os.listdir(run_dir) if f.startswith("screenshot_") and f not in before),
                   key=lambda name: int(name[len("screenshot_"):-len(".png")]))
    print("The viewer ended with exit code %d. Its pictures of the tour:" % code)
    for shot in shots:
        print("  " + os.path.join(run_dir, shot))
    print("The engine's log: " + os.path.join(run_dir, "Ogre.log"))
    return 0 if code == 0 and len(shots) == JUMPS + 1 else 1


if __name__ == "__main__":
    sys.exit(main())
