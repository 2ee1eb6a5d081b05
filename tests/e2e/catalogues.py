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
    """orvtest --catalogue MPCORB.DAT.gz: the status line says how far the reading has come while frames
    go on, then the belt's dots stand between Mars and Jupiter."""
    catalogue = os.path.join(args.folder, "MPCORB.DAT.gz")
    subprocess.run([sys.executable, MAKE_MPCORB, "--lines", str(LINES), "--seed", "3", "--gzip",
                    "--output", catalogue], check=True)
    # A black sky, so that every bright pixel off the planets is a dot.
    set_setting(args.folder, "Density", "0")
    viewer = xdrive.Viewer(display, args.folder, arguments=("--catalogue", "MPCORB.DAT.gz", "--at", "2024-01-01"))
    viewer.start(frames=2)
    viewer.wait_for_log("OrvTest: status: Reading MPCORB.DAT.gz: ", timeout=60)
    viewer.wait_for_log("OrvTest: status: MPCORB.DAT.gz: %s asteroids shown" % format(LINES, ","), timeout=120)
    drawn = viewer.wait_for_log(" frames were drawn while catalogues were read", timeout=60)
    counted = re.findall(r"OrvTest: (\d+) frames were drawn while catalogues were read", viewer.log_text()[:drawn])
    check(counted and int(counted[-1]) >= 3, "frames while reading: %s" % counted)
    progress = re.findall(r"status: Reading MPCORB\.DAT\.gz: ([\d,]+) bodies, (\d+) %", viewer.log_text())
    check(any(0 < int(count.replace(",", "")) < LINES for count, share in progress),
          "no progress on the status line between the start and the end: %s" % progress)
    viewer.wait_frames(5)

    # The start view sees the ecliptic edge-on: the belt is a band across the middle, either side of the sun.
    rows = viewer.picture("belt.png")
    band = [row[150:330] + row[470:650] for row in rows[270:330]]
    check(bright_count(band, 40) > 3000, "too few dots in the belt's band (%s)" % viewer.file("belt.png"))
    above = [row[150:650] for row in rows[100:160]]
    check(bright_count(above, 40) < bright_count(band, 40) / 10, "dots far from the ecliptic")
    display.key("Escape")
    finish(viewer)


SHIPPED = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "data", "catalogues")
CERES = "1 Ceres (A801 AA)"


def ceres_gone_to_followed_and_picked(args, display):
    """Typed at the go-to prompt, "Ceres" takes the camera to the asteroid of the shipped catalogue, its sunlit
    disc filling the middle of the view; I tells its semi-major axis, 2.77 AU; L keeps it in the middle while the clock runs
    at ten days a second; flown back until it is a dot, C picks it at the centre of the view."""
    set_setting(args.folder, "Density", "0")
    set_setting(args.folder, "MoveConstant", "5000")
    viewer = xdrive.Viewer(display, args.folder, arguments=(
        "--catalogue", os.path.join(SHIPPED, "jpl-asteroids.json.gz"), "--at", "2024-01-01"))
    viewer.start()
    viewer.wait_for_log("jpl-asteroids.json.gz: ", timeout=60)
    viewer.wait_for_log(" names sorted in ", timeout=60)
    log_end = len(viewer.log_text())
    # The clock stands still while Ceres is looked at; it runs again while it is followed.
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

    display.key("i")
    told = viewer.wait_for_log("OrvTest: the info panel tells of " + CERES + ":", after=log_end)
    facts = viewer.log_text()[told:].split("\n")[0]
    check("semi-major axis 2.77 AU;" in facts and "orbit class MBA;" in facts and "H 3.33;" in facts,
          "the panel's facts: %s" % facts)

    # Ten days a second: unfollowed, Ceres would cross the crop in a frame.
    viewer.wait_action_delay()
    display.key("l")
    viewer.wait_for_log("OrvTest: status: Following " + CERES, after=log_end)
    for _ in range(2):
        viewer.wait_action_delay()
        display.key("bracketright")
    viewer.wait_action_delay()
    display.key("space")
    viewer.wait_for_log("OrvTest: status: Time 10 d/s\n", after=log_end)
    viewer.wait_frames(30)
    check(bright_count(viewer.picture("followed.png", crop=middle), 60) > 3000,
          "Ceres left the middle of the view while followed (%s)" % viewer.file("followed.png"))

    # Still, and back along the line of sight until Ceres is a dot; then C picks it.
    viewer.wait_action_delay()
    display.key("space")
    viewer.wait_for_log("OrvTest: status: Paused", after=told)
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
    """A catalogue the viewer cannot show at all, named on the command line or in the settings: it says
    why and ends with status 1, as for a system file, before the engine starts."""
    with open(os.path.join(args.folder, "notes.txt"), "w") as stream:
        stream.write("These are notes, not orbits.\n")
    rows = [
        # the command line, the settings' Files, the words the message must hold
        (("--catalogue", "missing.DAT"), None, "missing.DAT cannot be opened"),
        (("--catalogue", "1.cfg"), None, "1.cfg"),
        ((), "notes.txt", "notes.txt"),
        # The command line's catalogues stand over the settings'.
        (("--catalogue", "notes.txt"), "missing.DAT", "notes.txt"),
    ]
    for arguments, files, said in rows:
        if files:
            set_setting(args.folder, "Files", files, "Catalogues")
        viewer = xdrive.Viewer(None, args.folder, arguments=arguments)
        code = viewer.wait(30)
        stderr = viewer.stderr_text()
        check(code == 1 and "Cannot read the catalogue file" in stderr and said in stderr,
              "%s %s: exit %r, stderr %s" % (arguments, files, code, stderr))
        check(not os.path.exists(viewer.file("Ogre.log")), "%s %s: the engine started" % (arguments, files))


SCENARIOS = [catalogue_behind_the_frames, ceres_gone_to_followed_and_picked, refused_catalogues]
WINDOW_MANAGER = set()
NO_DISPLAY = {"refused_catalogues"}
