"""The real sky of a dated system, as only the running program shows it."""

import math
import os

from common import check, cross, dot, finish, picture_until, rgb_pixels, unit, world_direction, xdrive

# The J2000 places (degrees) of d3-celestial 0.7.35's XHIP stars, as the
# shipped catalogue and constellations.csv hold them.
BETELGEUSE = (88.7929, 7.4071)
RIGEL = (78.6345, -8.2016)
BELLATRIX = (81.2828, 6.3497)
ALNILAM = (84.0534, -1.2019)


def pixel(star, direction, up=(0.0, 1.0, 0.0), fov=45.0, width=800, height=600):
    """Where a star at infinity lands in the window of a camera looking along `direction`."""
    s, d = world_direction(*star), unit(direction)
    right = unit(cross(d, up))
    top = cross(right, d)
    half = math.tan(math.radians(fov) / 2)
    x = dot(s, right) / dot(s, d) / (half * width / height)
    y = dot(s, top) / dot(s, d) / half
    return (int(round((1 + x) * width / 2)), int(round((1 - y) * height / 2)))


def colour_at(rows, place, reach=4):
    """The brightest pixel (red, green, blue) within `reach` of the place."""
    return max((rows[y][x] for y in range(place[1] - reach, place[1] + reach + 1)
                for x in range(place[0] - reach, place[0] + reach + 1)), key=sum)


def along(a, b, fraction):
    return (int(round(a[0] + (b[0] - a[0]) * fraction)), int(round(a[1] + (b[1] - a[1]) * fraction)))


def orion_in_its_colours(args, display):
    """Aimed at Orion: Betelgeuse orange, Rigel blue-white at their J2000 places; B draws the figures."""
    direction = world_direction(*ALNILAM)
    with open(os.path.join(args.folder, "views.cfg"), "w") as stream:
        stream.write("[orion]\nPosition=0 0 -14500\nDirection=%.9f %.9f %.9f\nUp=0 1 0\nStatistics=0\n"
                     "Date=2000-01-01T12:00:00.000Z\n" % direction)
    viewer = xdrive.Viewer(display, args.folder, arguments=["--view", "orion"])
    viewer.start()
    viewer.wait_for_log("OrvTest: the real sky: 41411 stars of hipparcos-8.csv.gz to magnitude 8, "
                        "743 constellation lines, the Milky Way")
    viewer.wait_for_log("OrvTest: view 'orion'")
    viewer.wait_frames(3)

    betelgeuse, rigel, bellatrix = (pixel(star, direction) for star in (BETELGEUSE, RIGEL, BELLATRIX))
    shot = rgb_pixels(display.grab(viewer.file("orion.png"), viewer.window))
    red, green, blue = colour_at(shot, betelgeuse)
    check(red > 180 and red - blue > 50, "Betelgeuse at %s is not orange: %s" % (betelgeuse, (red, green, blue)))
    red, green, blue = colour_at(shot, rigel)
    check(blue > 180 and blue - red > 15, "Rigel at %s is not blue-white: %s" % (rigel, (red, green, blue)))

    # The line between Betelgeuse and Bellatrix, clear of both stars' light.
    middles = [along(betelgeuse, bellatrix, fraction) for fraction in (0.35, 0.5, 0.65)]
    before = [sum(colour_at(shot, place, 1)) for place in middles]
    log_end = len(viewer.log_text())
    display.key("b")
    viewer.wait_for_log("OrvTest: constellations shown", after=log_end)

    def lined(_rows):
        figures = rgb_pixels(viewer.file("figures.png"))
        after = [sum(colour_at(figures, place, 1)) for place in middles]
        return all(a > b + 60 for a, b in zip(after, before))
    picture_until(viewer, "figures.png", None, lined,
                  "B drew no line from Betelgeuse %s to Bellatrix %s" % (betelgeuse, bellatrix))
    display.key("Escape")
    finish(viewer)


SCENARIOS = [orion_in_its_colours]
WINDOW_MANAGER = set()
NO_DISPLAY = set()
