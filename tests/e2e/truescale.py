"""True scale in the running program: X, views kept there, films drawn off-screen in depth ranges of their own."""

import os
import subprocess
import sys

from common import check, finish, picture_until, set_setting, xdrive

# The middle column of the 800 x 600 window, where a planet a few of its radii away lies.
COLUMN = (1, 600, 400, 0)


def film_from_the_earth_to_saturn(args, display):
    """X, then views kept at true scale beside the Earth and Saturn, then a film between them from the command
    line: its first frame and its last each show the planet, drawn off-screen with depth ranges of its own."""
    set_setting(args.folder, "Shipped", "0", "Catalogues")
    viewer = xdrive.Viewer(display, args.folder, arguments=["--at", "2026-03-20"])
    viewer.start()
    display.key("space")
    display.key("x")
    viewer.wait_for_log("OrvTest: true scale")
    for name in ("Earth", "Saturn"):
        viewer.wait_action_delay()
        display.key("Return")
        display.type_text(name)
        display.key("Return")
        picture_until(viewer, "going.png", COLUMN, lambda rows: xdrive.bright_count(rows, 40) > 200,
                      "going to %s showed no disc in the middle" % name)
        log_end = len(viewer.log_text())
        display.key("k")
        display.type_text(name)
        display.key("Return")
        viewer.wait_for_log("Kept view '%s'" % name, after=log_end)
    display.key("Escape")
    finish(viewer)

    film = xdrive.Viewer(display, args.folder, arguments=["--record", "film", "--size", "320x240", "--path",
                                                          "Earth,Saturn", "--frames", "8"])
    check(film.wait(120) == 0, "the film failed: %s" % film.stderr_text())
    for number in (1, 8):
        rows = xdrive.gray_pixels(film.file("film/frame_%06d.png" % number), 320, 240)
        # A disc is thousands of pixels; the stars, a few hundred.
        check(xdrive.bright_count(rows, 40) > 2000, "frame %d of the film shows no planet" % number)


def catalogue_dots_at_true_scale(args, display):
    """A film at true scale from 17 AU above the Sun shows a catalogue's belt as dots about it, where a film
    without the catalogue shows the stars alone."""
    set_setting(args.folder, "Shipped", "0", "Catalogues")
    with open(os.path.join(args.folder, "views.cfg"), "w") as stream:
        stream.write("[above]\nPosition=0 2500000000 0\nDirection=0 -1 0\nUp=0 0 -1\nDate=2024-01-01T00:00:00.000Z\n"
                     "Paused=1\nTrueScale=1\n")
    subprocess.run([sys.executable, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "scripts",
                                                 "make-mpcorb"), "--lines", "3000", "--seed", "3", "--output",
                    os.path.join(args.folder, "belt.txt")], check=True)
    films = {}
    for name, options in (("with", ["--catalogue", "belt.txt"]), ("without", [])):
        film = xdrive.Viewer(display, args.folder, arguments=["--record", name, "--size", "320x240", "--view",
                                                              "above", "--frames", "1", *options])
        check(film.wait(120) == 0, "the film failed: %s" % film.stderr_text())
        films[name] = xdrive.gray_pixels(film.file(name + "/frame_000001.png"), 320, 240)
    dots = sum(1 for row, other in zip(films["with"], films["without"]) for a, b in zip(row, other) if a > b + 20)
    check(dots > 300, "the catalogue added %d dots to the picture at true scale" % dots)


SCENARIOS = [film_from_the_earth_to_saturn, catalogue_dots_at_true_scale]
WINDOW_MANAGER = set()
NO_DISPLAY = set()
