"""What the end-to-end scenarios share: checks, working-folder files, awaited pictures, the error box."""

import math
import os
import subprocess
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "scripts"))
import xdrive  # noqa: E402
from xdrive import bright_count, wait_until  # noqa: E402,F401

ERROR_CAPTION = "An exception has occured!"
SANITIZED = bool(os.environ.get("ORVTEST_SANITIZED"))
# The obliquity of the J2000 ecliptic (IAU 1976), degrees, as sky/Frames.h takes it.
OBLIQUITY = 23.4392911


class Failure(Exception):
    pass


def check(condition, message):
    if not condition:
        raise Failure(message)


def dot(a, b):
    return sum(x * y for x, y in zip(a, b))


def cross(a, b):
    return (a[1] * b[2] - a[2] * b[1], a[2] * b[0] - a[0] * b[2], a[0] * b[1] - a[1] * b[0])


def unit(a):
    length = math.sqrt(dot(a, a))
    return tuple(c / length for c in a)


def world_direction(ra, dec):
    """A J2000 direction in the world's axes: X the equinox, Y the north ecliptic pole, Z longitude 270°."""
    a, d, e = math.radians(ra), math.radians(dec), math.radians(OBLIQUITY)
    x, y, z = math.cos(d) * math.cos(a), math.cos(d) * math.sin(a), math.sin(d)
    return (x, -y * math.sin(e) + z * math.cos(e), -(y * math.cos(e) + z * math.sin(e)))


def set_setting(folder, key, value, section=None):
    """Sets one key of the working folder's OrvTest.cfg, adding it (under `section`) when it is not there."""
    path = os.path.join(folder, "OrvTest.cfg")
    with open(path) as stream:
        lines = stream.read().splitlines()
    found = any(line.split("=")[0].strip() == key for line in lines)
    lines = [("%s=%s" % (key, value)) if line.split("=")[0].strip() == key else line for line in lines]
    if not found:
        lines += ["[%s]" % section, "%s=%s" % (key, value)]
    with open(path, "w") as stream:
        stream.write("\n".join(lines) + "\n")


def write_system(folder, text, name="test.cfg"):
    with open(os.path.join(folder, name), "w") as stream:
        stream.write(text)
    set_setting(folder, "StaticSystem", name)


def finish(viewer, expected=0, timeout=30.0):
    code = viewer.wait(timeout)
    check(code == expected, "exit code %r, expected %d; stderr: %s" % (code, expected, viewer.stderr_text()))
    check("OGRE EXCEPTION" not in viewer.log_text(), "the log holds an exception")


def picture_until(viewer, name, crop, condition, what, timeout=30.0):
    """Grabs the window until its picture (or the crop of it) meets the condition; returns that picture."""
    def grab():
        rows = viewer.picture(name, crop=crop)
        return rows if condition(rows) else None
    try:
        return wait_until(grab, timeout, what, interval=0.2)
    except xdrive.Timeout:
        raise Failure("%s (last picture %s)" % (what, viewer.file(name)))


def rgb_pixels(path):
    """The picture's rows of (red, green, blue)."""
    size = subprocess.run(["identify", "-format", "%w %h", path], check=True, stdout=subprocess.PIPE, text=True)
    width, height = (int(n) for n in size.stdout.split())
    data = subprocess.run(["convert", path, "-depth", "8", "rgb:-"], check=True, stdout=subprocess.PIPE).stdout
    return [[tuple(data[3 * (y * width + x):3 * (y * width + x) + 3]) for x in range(width)] for y in range(height)]


def difference(rows, other):
    """Mean absolute difference of two grey pictures of one size."""
    total = sum(abs(a - b) for row, other_row in zip(rows, other) for a, b in zip(row, other_row))
    return total / float(len(rows) * len(rows[0]))


def dismiss_error_box(display):
    """Return on the error box, once it has the keyboard, until it has gone."""
    box = display.find_window(ERROR_CAPTION, timeout=30)
    check(box is not None, "no error box titled %r" % ERROR_CAPTION)

    def dismissed():
        if not display.window_exists(box):
            return True
        if display.run("xdotool", "getwindowfocus", check=False).strip() == box:
            display.key("Return")
        return False
    try:
        wait_until(dismissed, 30, "the box to take Return", interval=0.3)
    except xdrive.Timeout:
        raise Failure("Return did not dismiss the error box")


def body(section, parent="Sun", **values):
    """A body section of a system file: a sphere of size 5 at radius 100 that does not move, but for `values`."""
    keys = dict(Name=section, Parent=parent, Model="SphereMesh_32x64", Material="default", Size=5, OrbitRadius=100,
                OrbitPeriod=0, PitchPeriod=0, YawPeriod=0, RollPeriod=0)
    keys.update(values)
    return "[%s]\n%s\n" % (section, "\n".join("%s=%s" % item for item in keys.items()))


def facing_system(folder, name="Moon"):
    """A still moon facing the start camera: its parent "Frame" turns its orbit axis onto the line of sight."""
    write_system(folder, body("Frame", Model="SphereMesh_4x6", Size=1, OrbitRadius=0, OrbitAxis="1 0 0",
                              OrbitCompleted=90) +
                 body("Frame.Moon", "Frame", Name=name, Size=600, OrbitRadius=3000, OrbitCompleted=60,
                      NearDistance=100000))
    set_setting(folder, "Density", "0")
    # Lit all round: the sun lights it from the side.
    set_setting(folder, "AmbientLight", "0.7 0.7 0.7")


def moon_centre(viewer, name):
    """The centroid of the bright pixels clear of the sun's glow, the status line and the statistics."""
    rows = viewer.picture(name)
    points = [(x, y) for y, row in enumerate(rows) for x, v in enumerate(row)
              if v > 60 and (x - 400) ** 2 + (y - 300) ** 2 > 110 ** 2 and y > 80 and not (x < 280 and y > 460)]
    check(len(points) > 50, "no moon in %s" % viewer.file(name))
    return (sum(p[0] for p in points) / len(points), sum(p[1] for p in points) / len(points))
