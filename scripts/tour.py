#!/usr/bin/env python3
"""A tour of the viewer for a machine without a desktop: in a virtual display
it accepts the dialog, looks at the start view, jumps through the first bodies
with the left mouse button, saves a screenshot with Print at each stop, and
leaves with Escape. Prints where the pictures are.

Usage: tour.py RUN_DIR
"""

import os
import sys

import xdrive

JUMPS = 4


def main():
    run_dir = os.path.abspath(sys.argv[1])
    display = xdrive.VirtualDisplay(width=800, height=600)
    before = set(f for f in os.listdir(run_dir) if f.startswith("screenshot_"))
    shots = []
    code = None
    try:
        viewer = xdrive.Viewer(display, run_dir)
        viewer.start(frames=20)

        def shoot():
            number = xdrive.wait_until(
                lambda: next(n for n in range(1, 100000) if "screenshot_%d.png" % n not in before), 1, "a number")
            display.key("Print")
            shots.append(viewer.wait_for_file("screenshot_%d.png" % number))
            before.add(os.path.basename(shots[-1]))
            viewer.wait_action_delay()

        shoot()
        for _ in range(JUMPS):
            display.run("xdotool", "click", "1")
            viewer.wait_action_delay()
            viewer.wait_frames(20)
            shoot()
        display.key("Escape")
        code = viewer.wait(30)
    finally:
        display.stop()
    print("The viewer ended with exit code %r. Its pictures of the tour:" % code)
    for shot in shots:
        print("  " + shot)
    print("The engine's log: " + os.path.join(run_dir, "Ogre.log"))
    return 0 if code == 0 and len(shots) == JUMPS + 1 else 1


if __name__ == "__main__":
    sys.exit(main())
