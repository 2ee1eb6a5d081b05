"""Asteroid catalogues: read behind the frames, shown as dots, refused at the start when unreadable."""

import os
import re
import subprocess
import sys

from common import bright_count, check, finish, picture_until, set_setting, xdrive

MAKE_MPCORB = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "scripts", "make-mpcorb")
# A catalogue of a realistic size that reads in about a second: the whole
# MPCORB (1.45 million lines) is the benchmark's.
LINES = 200000


def catalogue_behind_the_frames(args, display):
    """orvtest --catalogue MPCORB.DAT.gz, read behind the frames: the belt's dots stand between Mars and Jupiter."""
    catalogue = os.path.join(args.folder, "MPCORB.DAT.gz")
    subprocess.run([sys.executable, MAKE_MPCORB, "--lines", str(LINES), "--seed", "3", "--gzip",
                    "--output", catalogue], check=True)
    # A black sky, so that every bright pixel off the planets is a dot.
    set_setting(args.folder, "Density", "0")
    viewer = xdrive.Viewer(display, args.folder, arguments=("--catalogue", "MPCORB.DAT.gz", "--at", "2024-01-01"))
    viewer.start(frames=2)
    viewer.wait_for_log("OrvTest: status: MPCORB.DAT.gz: %s asteroids shown" % format(LINES, ","), timeout=120)
    viewer.wait_frames(5)

    # The start view sees the ecliptic edge-on: the belt is a band across the middle, either side of the sun.
    rows = viewer.picture("belt.png")
    band = [row[150:330] + row[470:650] for row in rows[270:330]]
    check(bright_count(band, 40) > 3000, "too few dots in the belt's band (%s)" % viewer.file("belt.png"))
    above = [row[150:650] for row in rows[100:160]]
    check(bright_count(above, 40) < bright_count(band, 40) / 10, "dots far from the ecliptic")
    # With the clock stopped and the camera still the dots are not drawn again, but they stay.
    display.key("space")
    viewer.wait_for_log("OrvTest: status: Paused")
    viewer.wait_frames(5)
    rows = viewer.picture("paused.png")
    still = [row[150:330] + row[470:650] for row in rows[270:330]]
    check(bright_count(still, 40) > 3000, "the dots went when the clock stopped (%s)" % viewer.file("paused.png"))
    display.key("Escape")
    finish(viewer)


SHIPPED = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "data", "catalogues")
CERES = "1 Ceres (A801 AA)"


def ceres_gone_to_and_picked(args, display):
    """Going to "Ceres" shows the shipped catalogue's asteroid as a sunlit disc; flown back to a dot, C picks it."""
    set_setting(args.folder, "Density", "0")
    set_setting(args.folder, "MoveConstant", "5000")
    viewer = xdrive.Viewer(display, args.folder, arguments=(
        "--catalogue", os.path.join(SHIPPED, "jpl-asteroids.json.gz"), "--at", "2024-01-01"))
    viewer.start()
    viewer.wait_for_log("jpl-asteroids.json.gz: ", timeout=60)
    viewer.wait_for_log(" names sorted in ", timeout=60)
    log_end = len(viewer.log_text())
    display.key("space")
    viewer.wait_for_log("OrvTest: status: Paused", after=log_end)
    display.key("Return")
    display.type_text("Ceres")
    display.key("Return")
    viewer.wait_for_log("OrvTest: status: " + CERES, after=log_end)
    # Five radii away, its sunlit disc fills the middle: drawn as a sphere close up.
    middle = (60, 60, 370, 270)
    picture_until(viewer, "ceres.png", middle, lambda rows: bright_count(rows, 60) > 3000,
                  "no sunlit disc of Ceres in the middle of the view")
    viewer.hold_key("s", frames=10)
    viewer.wait_frames(3)
    viewer.wait_action_delay()
    pick_from = len(viewer.log_text())
    display.key("c")
    viewer.wait_for_log("OrvTest: status: Picked " + CERES, after=pick_from)
    solved = re.findall(r"a pick solved (\d+) catalogue bodies by the centre; it took ([\d.]+) ms",
                        viewer.log_text()[pick_from:])
    check(solved and int(solved[-1][0]) >= 1, "no catalogue body was solved for the pick: %s" % solved)
    display.key("Escape")
    finish(viewer)


def refused_catalogues(args, display):
    """A catalogue that cannot be shown, named by the command line or the settings: exit 1 before the engine starts."""
    with open(os.path.join(args.folder, "notes.txt"), "w") as stream:
        stream.write("These are notes, not orbits.\n")
    # The command line, the settings' Files, the words the message must hold; the last: the command line's
    # catalogues stand over the settings'.
    rows = [(("--catalogue", "missing.DAT"), None, "missing.DAT cannot be opened"),
            (("--catalogue", "1.cfg"), None, "1.cfg"), ((), "notes.txt", "notes.txt"),
            (("--catalogue", "notes.txt"), "missing.DAT", "notes.txt")]
    for arguments, files, said in rows:
        if files:
            set_setting(args.folder, "Files", files, "Catalogues")
        viewer = xdrive.Viewer(None, args.folder, arguments=arguments)
        code = viewer.wait(30)
        stderr = viewer.stderr_text()
        check(code == 1 and "Cannot read the catalogue file" in stderr and said in stderr,
              "%s %s: exit %r, stderr %s" % (arguments, files, code, stderr))
        check(not os.path.exists(viewer.file("Ogre.log")), "%s %s: the engine started" % (arguments, files))


SCENARIOS = [catalogue_behind_the_frames, ceres_gone_to_and_picked, refused_catalogues]
WINDOW_MANAGER = set()
NO_DISPLAY = {"refused_catalogues"}
