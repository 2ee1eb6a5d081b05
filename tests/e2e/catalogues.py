"""Asteroid catalogues: read behind the frames, shown as dots, refused at the start when unreadable."""

import os
import re
import subprocess
import sys

from common import bright_count, check, finish, set_setting, xdrive

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


SCENARIOS = [catalogue_behind_the_frames, refused_catalogues]
WINDOW_MANAGER = set()
NO_DISPLAY = {"refused_catalogues"}
