"""Io's shadow on Jupiter and Saturn's Cassini Division, as only the drawn picture shows them."""

import configparser
import math
import os
import shutil
import subprocess

from common import check, cross, dot, unit, world_direction, xdrive

SIZE = (800, 600)
FIELD_OF_VIEW = math.radians(45.0)   # the engine's default, which the viewer's camera keeps


def add(a, b):
    return tuple(x + y for x, y in zip(a, b))


def sub(a, b):
    return tuple(x - y for x, y in zip(a, b))


def mul(a, s):
    return tuple(x * s for x in a)


def world_from_ecliptic(e):
    """The world's axes: X the equinox, Y the ecliptic's north pole, Z longitude 270 degrees."""
    return (e[0], e[2], -e[1])


def places(folder, date):
    """Every body's centre in the world at `date` (UTC), from orvtest-check --at."""
    out = subprocess.run(["./orvtest-check", "--at", date, "1.cfg"], cwd=folder, stdout=subprocess.PIPE, text=True,
                         timeout=60).stdout
    relative = {}
    for line in out.splitlines():
        cells = line.split()
        if len(cells) >= 5 and cells[2].endswith("\u00b0") and cells[3].endswith("\u00b0"):
            lon, lat, distance = math.radians(float(cells[2][:-1])), math.radians(float(cells[3][:-1])), float(cells[4])
            relative[cells[0]] = (cells[1], world_from_ecliptic((distance * math.cos(lat) * math.cos(lon),
                                                                 distance * math.cos(lat) * math.sin(lon),
                                                                 distance * math.sin(lat))))
    world = {}

    def place(name):
        if name not in world:
            parent, offset = relative[name]
            world[name] = add(place(parent.split(".")[-1]) if parent != "Sun" else (0.0, 0.0, 0.0), offset)
        return world[name]
    for name in relative:
        place(name)
    return world


def section_values(folder, section):
    parser = configparser.ConfigParser(interpolation=None, strict=False, delimiters=("=",), comment_prefixes=("#",))
    parser.optionxform = str
    parser.read(os.path.join(folder, "1.cfg"))
    return parser[section]


def camera(target, distance, turn_degrees, rise):
    """Eye and axes of a camera `distance` from the target, sunward turned `turn_degrees` and raised `rise`."""
    toward = unit(mul(target, -1.0))
    t = math.radians(turn_degrees)
    turned = unit((toward[0] * math.cos(t) + toward[2] * math.sin(t), toward[1] + rise,
                   -toward[0] * math.sin(t) + toward[2] * math.cos(t)))
    eye = add(target, mul(turned, distance))
    forward = unit(sub(target, eye))
    right = unit(cross(forward, (0.0, 1.0, 0.0)))
    return eye, (right, cross(right, forward), forward)


def pixel(point, eye, axes):
    """Where a world point shows in the picture, in pixels from the top left."""
    right, up, forward = axes
    v = sub(point, eye)
    depth = dot(v, forward)
    scale = math.tan(FIELD_OF_VIEW / 2) * depth
    x = dot(v, right) / (scale * SIZE[0] / SIZE[1])
    y = dot(v, up) / scale
    return (x + 1) / 2 * SIZE[0], (1 - y) / 2 * SIZE[1]


def hidden_by(point, eye, centre, radius):
    """Whether the sphere stands between the eye and the point."""
    d = sub(point, eye)
    length = math.sqrt(dot(d, d))
    d = mul(d, 1.0 / length)
    along = dot(sub(centre, eye), d)
    closest = add(eye, mul(d, along))
    return 0 < along < length and dot(sub(closest, centre), sub(closest, centre)) < radius * radius


def draw(display, folder, name, eye, axes, date):
    """One frame of the view, recorded off-screen as a film of one frame; its grey pixels."""
    with open(os.path.join(folder, "views.cfg"), "w") as stream:
        stream.write("[%s]\nPosition=%r %r %r\nDirection=%r %r %r\nDate=%s\n" % ((name,) + eye + axes[2] + (date,)))
    shutil.rmtree(os.path.join(folder, name), ignore_errors=True)
    viewer = xdrive.Viewer(display, folder, arguments=["--record", name, "--view", name, "--frames", "1",
                                                        "--size", "%dx%d" % SIZE])
    code = viewer.wait(180)
    check(code == 0, "recording %s: exit %r; stderr: %s" % (name, code, viewer.stderr_text()))
    return xdrive.gray_pixels(os.path.join(folder, name, "frame_000001.png"), *SIZE)


def mean_around(rows, centre, radius):
    values = [rows[y][x] for y in range(int(centre[1] - radius), int(centre[1] + radius) + 1)
              for x in range(int(centre[0] - radius), int(centre[0] + radius) + 1)
              if (x - centre[0]) ** 2 + (y - centre[1]) ** 2 <= radius * radius]
    return sum(values) / float(len(values))


def io_shadow_and_saturns_ring(args, display):
    """Io's shadow transit of 2009-05-17, 07:56 to 10:11 UTC (3:56 to 6:11 a.m. EDT, idialstars.com, "May 17,
    2009: Double Shadow Transit on Jupiter"): at 09:00, seen from the sunlit side, Jupiter is dark where the
    line from the sun through Io's centre meets it and lit round about. Saturn on 2017-10-01, months after its
    northern solstice, seen from above the ring's sunlit face: the ring is bright at the B and A rings' radii
    and dark in the Cassini Division between them (117,580 to 122,170 km, NASA's Saturnian Rings Fact Sheet),
    and there is nothing beyond the A ring's edge."""
    date = "2009-05-17T09:00"
    world = places(args.folder, date)
    jupiter, io = world["Jupiter"], world["Io"]
    radius = float(section_values(args.folder, "5.Jupiter")["Size"])
    eye, axes = camera(jupiter, 3.3 * radius, 30.0, 0.0)
    rows = draw(display, args.folder, "jupiter", eye, axes, date + ":00.000Z")
    # The sun stands at the origin: the shadow's centre is where the ray through Io first meets Jupiter.
    ray = unit(io)
    along = dot(jupiter, ray)
    miss = dot(jupiter, jupiter) - along * along
    check(miss < radius * radius, "Io is not between the sun and Jupiter at %s" % date)
    surface = mul(ray, along - math.sqrt(radius * radius - miss))
    check(not hidden_by(surface, eye, io, 38.0), "Io hides its shadow")
    spot = pixel(surface, eye, axes)
    disc = pixel(jupiter, eye, axes)
    around = [(spot[0] + 40 * math.cos(a), spot[1] + 40 * math.sin(a)) for a in (k * math.pi / 4 for k in range(8))]
    around = [p for p in around if math.hypot(p[0] - disc[0], p[1] - disc[1]) < 150]
    check(len(around) >= 4, "the shadow falls too near the edge of the disc to judge: %s" % (spot,))
    shadow = mean_around(rows, spot, 5)
    lit = sorted(mean_around(rows, p, 5) for p in around)[len(around) // 2]
    check(shadow < 0.35 * lit, "no shadow of Io at %.0f, %.0f: %.0f there, %.0f round about (%s)"
          % (spot[0], spot[1], shadow, lit, os.path.join(args.folder, "jupiter")))

    date = "2017-10-01T00:00"
    saturn = places(args.folder, date)["Saturn"]
    values = section_values(args.folder, "6.Saturn")
    size = float(values["Size"])
    # The ring's plane: Saturn's equator, its IAU pole (whose drift over the years since J2000 is 0.01 degrees).
    pole = world_direction(float(values["PoleRA"]), float(values["PoleDec"]))
    u = unit(cross(pole, (1.0, 0.0, 0.0)))
    v = cross(pole, u)
    eye, axes = camera(saturn, 4.5 * size, 25.0, 0.45)
    rows = draw(display, args.folder, "saturn", eye, axes, date + ":00.000Z")
    saturn_radius_km = 60268.0

    def brightness(km):
        """The median brightness of the ring at that radius, where the planet neither hides nor shadows it."""
        r = km / saturn_radius_km * size
        values = []
        for k in range(72):
            a = k * math.pi / 36
            point = add(saturn, add(mul(u, r * math.cos(a)), mul(v, r * math.sin(a))))
            behind = dot(sub(point, saturn), unit(mul(saturn, -1.0))) < 0
            if hidden_by(point, eye, saturn, size) or behind:
                continue
            x, y = pixel(point, eye, axes)
            if 2 <= x < SIZE[0] - 2 and 2 <= y < SIZE[1] - 2:
                values.append(mean_around(rows, (x, y), 1))
        check(len(values) >= 8, "too little of the ring in view at %d km" % km)
        return sorted(values)[len(values) // 2]
    b_ring, cassini, a_ring, beyond = (brightness(km) for km in (105000, 119875, 128000, 150000))
    where = os.path.join(args.folder, "saturn")
    check(min(b_ring, a_ring) > 60, "the B and A rings are dark: %.0f, %.0f (%s)" % (b_ring, a_ring, where))
    check(cassini < 0.6 * min(b_ring, a_ring), "no Cassini Division: %.0f between %.0f and %.0f (%s)"
          % (cassini, b_ring, a_ring, where))
    check(beyond < 0.3 * a_ring, "a ring beyond the A ring's edge: %.0f (%s)" % (beyond, where))


SCENARIOS = [io_shadow_and_saturns_ring]
WINDOW_MANAGER = set()
NO_DISPLAY = set()
