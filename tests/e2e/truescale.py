"""True scale in the running program: X switches the world's scale and the body in focus stays where it was on
screen."""

from common import check, difference, finish, picture_until, set_setting, xdrive, Failure

# The middle column of the 800 x 600 window, where a planet a few of its radii away lies; and the middle of the
# picture, clear of the status line above and the statistics at the bottom left.
COLUMN = (1, 600, 400, 0)
MIDDLE = (440, 440, 180, 80)


def extent(values, threshold=40):
    """The first and last pixel of the longest lit run along a line through the disc: the stars beside it are
    runs of their own. A dark spot within it (a moon's shadow) is bridged."""
    runs = []
    for i, v in enumerate(values):
        if v <= threshold:
            continue
        if runs and i - runs[-1][1] <= 40:
            runs[-1][1] = i
        else:
            runs.append([i, i])
    check(runs, "no planet across the middle of the picture")
    first, last = max(runs, key=lambda run: run[1] - run[0])
    check(last - first > 100, "no planet across the middle of the picture")
    return first, last


def disc(viewer, name):
    """Where the disc's sides and its bottom are in one picture: across its middle row, and down its middle
    column, where the Sun lights it from below (its top is dim, and lit otherwise at the two scales)."""
    rows = viewer.picture(name + ".png")
    left, right = extent(rows[300])
    return left, right, extent([row[400] for row in rows])[1]


def settled(viewer):
    """The disc once the camera has come to rest: the same in two pictures frames apart."""
    last = [None]

    def still():
        now = disc(viewer, "display")
        same = now == last[0]
        last[0] = now
        if not same:
            viewer.wait_frames(3)
        return now if same else None
    try:
        return xdrive.wait_until(still, 30, "the camera to come to rest", interval=0.1)
    except xdrive.Timeout:
        raise Failure("the picture of Jupiter never came to rest")


def x_keeps_the_planet_in_focus(args, display):
    """Gone to Jupiter in the default system, paused, and backed away a little: X takes it to true scale with
    its disc as large and where it was, and X again brings back the display scale's picture."""
    # One date for every run: the same phase, the same moons; and no catalogue dots, which come in a
    # while after the start and would stand beside the disc in one picture and not the other.
    set_setting(args.folder, "Shipped", "0", "Catalogues")
    viewer = xdrive.Viewer(display, args.folder, arguments=["--at", "2026-03-20"])
    viewer.start()
    display.key("space")
    viewer.wait_action_delay()
    display.key("Return")
    display.type_text("Jupiter")
    display.key("Return")
    picture_until(viewer, "display.png", COLUMN, lambda rows: xdrive.bright_count(rows, 40) > 200,
                  "going to Jupiter showed no disc in the middle")
    near = settled(viewer)
    # Back a little from where go-to put the camera: neither five radii nor where a jump arrives.
    viewer.hold_key("s", frames=15)
    before = settled(viewer)
    check(before[1] - before[0] < 0.95 * (near[1] - near[0]), "S did not back away from Jupiter: %s, %s before" %
          (before, near))
    middle = viewer.picture("display.png", crop=MIDDLE)

    log_end = len(viewer.log_text())
    display.key("x")
    viewer.wait_for_log("OrvTest: true scale", after=log_end)
    viewer.wait_frames(3)
    after = disc(viewer, "true")
    # The left and bottom limbs are lit full on; the right one less, and a little otherwise at the two
    # scales (the light a point at the display scale, the Sun at true scale). A switch that kept the
    # distance or the direction wrong moves them by tens of pixels.
    width = before[1] - before[0]
    check(abs(after[0] - before[0]) <= 0.025 * width and abs(after[2] - before[2]) <= 0.025 * width and
          abs(after[1] - before[1]) <= 0.05 * width,
          "at true scale the disc's left, right and bottom are at %s, at the display scale %s" % (after, before))

    log_end = len(viewer.log_text())
    viewer.wait_action_delay()
    display.key("x")
    viewer.wait_for_log("OrvTest: display scale", after=log_end)
    picture_until(viewer, "back.png", MIDDLE, lambda back: difference(back, middle) < 3,
                  "X twice did not bring back the display scale's picture")
    display.key("Escape")
    finish(viewer)


def film_from_the_earth_to_saturn(args, display):
    """Views kept at true scale beside the Earth and Saturn, then a film between them from the command line:
    its first frame and its last each show the planet, drawn off-screen with depth ranges of its own."""
    set_setting(args.folder, "Shipped", "0", "Catalogues")
    viewer = xdrive.Viewer(display, args.folder, arguments=["--at", "2026-03-20", "--true-scale"])
    viewer.start()
    display.key("space")
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


SCENARIOS = [x_keeps_the_planet_in_focus, film_from_the_earth_to_saturn]
WINDOW_MANAGER = set()
NO_DISPLAY = set()
