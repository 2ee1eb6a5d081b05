"""What the keys and the mouse do, as only the running program shows it."""

import math
import re
import subprocess
import time

from common import (SANITIZED, body, bright_count, check, difference, facing_system, finish, moon_centre,
                    moved_per_second, picture_until, set_setting, wait_until, write_system, xdrive, Failure)


def bright_box(rows, threshold=250):
    xs = [x for row in rows for x, v in enumerate(row) if v > threshold]
    ys = [y for y, row in enumerate(rows) if any(v > threshold for v in row)]
    check(xs and ys, "nothing bright in the picture")
    return max(xs) - min(xs) + 1, max(ys) - min(ys) + 1


def resized_window_keeps_proportions(args, display):
    """A ball in front of the sun, white all over in a white ambient light, stays round at 1000 × 500.
    Only the ball is pure white: the statistics' text is not."""
    write_system(args.folder, body("Ball", Model="SphereMesh_64x128", Size=1500, OrbitRadius=5000, OrbitCompleted=180))
    set_setting(args.folder, "AmbientLight", "1 1 1")
    set_setting(args.folder, "Density", "0")
    viewer = xdrive.Viewer(display, args.folder)
    viewer.start()
    width, height = bright_box(viewer.picture("before.png"))
    check(abs(width - height) <= 0.05 * height, "not round at 800 × 600: %d × %d" % (width, height))
    display.run("xdotool", "windowsize", viewer.window, "1000", "500")
    wait_until(lambda: "1000x500" in display.run("identify", display.grab(viewer.file("resized.png"), viewer.window)),
               30, "the window to take its new size")
    last = []

    def round_at_new_size():
        last[:] = bright_box(viewer.picture("after.png", size=(1000, 500)))
        return abs(last[0] - last[1]) <= 0.05 * last[1]
    try:
        wait_until(round_at_new_size, 30, "a round ball", interval=0.2)
    except xdrive.Timeout:
        raise Failure("the ball is %d × %d at 1000 × 500" % tuple(last))
    display.key("Escape")
    finish(viewer)


def facing_moon_session(args, display):
    """One session with a moon going round the sun face on: time keys, go-to by name (a name with a
    letter beyond ASCII), following; Escape at the prompt does not quit, Escape after it does."""
    facing_system(args.folder, period=0.5, name="\u00c4rde")   # two degrees a second at rate 1
    viewer = xdrive.Viewer(display, args.folder)
    viewer.start()

    # ] three times: eight times as fast. Space stops it.
    slow = moved_per_second(viewer, 2.0)
    for _ in range(3):
        display.key("bracketright")
        viewer.wait_action_delay()
    fast = moved_per_second(viewer, 0.5)
    check(5.5 < fast / slow < 11, "three doublings: %.1f px/s became %.1f px/s" % (slow, fast))
    display.key("space")
    viewer.wait_action_delay()
    viewer.wait_frames(2)
    check(moved_per_second(viewer, 1.0) < 0.5, "Space did not stop the moon")

    # Go-to by name shows what a click shows; the name has a letter beyond ASCII.
    view = (500, 400, 150, 100)
    display.run("xdotool", "click", "1")      # to the moon
    viewer.wait_action_delay()
    viewer.wait_frames(3)
    clicked = viewer.picture("clicked.png", crop=view)
    display.run("xdotool", "click", "1")      # on to the frame at the sun
    viewer.wait_action_delay()
    picture_until(viewer, "elsewhere.png", view, lambda rows: difference(rows, clicked) > 20,
                  "the second click did not leave the moon")
    display.run("setxkbmap", "-layout", "de")   # a keyboard with a key for it
    display.key("Return")
    display.type_text("\u00e4r")
    display.key("Tab")                        # completes to the whole name
    display.key("Return")
    picture_until(viewer, "gone-to.png", view, lambda rows: difference(rows, clicked) < 2,
                  "going to '\u00e4r' + Tab did not show what the click showed")
    display.key("Return")
    display.type_text("x")
    display.key("Escape")
    viewer.wait_frames(10)
    check(viewer.process.poll() is None, "Escape at the prompt ended the viewer")

    # L follows the moon, moving again at ×8: it stays at the centre of the picture.
    display.key("l")
    viewer.wait_action_delay()
    display.key("space")
    viewer.wait_action_delay()
    centre = (160, 160, 320, 220)
    start = time.time()
    while time.time() - start < 3.0:
        rows = viewer.picture("followed.png", crop=centre)
        check(bright_count(rows, 60) > 0.9 * 160 * 160, "the moon left the centre of the picture")
        viewer.wait_frames(5)
    display.key("Escape")
    finish(viewer)


def the_clock(args, display):
    """--at starts the default system's clock at a date; paused, the sky stands still; T and a date move every
    body there at once, and a date no calendar has changes nothing."""
    viewer = xdrive.Viewer(display, args.folder, arguments=["--at", "1986-02-09"])
    viewer.start()
    viewer.wait_for_log("OrvTest: the clock starts at 1986-02-09 00:00 UTC, 1 d/s")
    display.key("space")
    viewer.wait_action_delay()
    view = (800, 200, 0, 200)                  # the ecliptic, edge-on, clear of the text
    paused = viewer.picture("paused.png", crop=view)
    viewer.wait_frames(20)
    check(difference(paused, viewer.picture("still.png", crop=view)) < 0.5, "the paused sky moved")
    log_end = len(viewer.log_text())
    display.key("t")
    display.type_text("2030-02-30")
    display.key("Return")
    display.key("t")
    display.type_text("2030-01-01")
    display.key("Return")
    viewer.wait_for_log("OrvTest: the clock set to 2030-01-01 00:00 UTC", after=log_end)
    said = viewer.log_text()[log_end:]
    check("status: '2030-02-30' is no date" in said, "a date no calendar has went unremarked")
    check(said.count("the clock set to") == 1, "a date no calendar has set the clock")
    picture_until(viewer, "then.png", view, lambda rows: difference(rows, paused) > 1,
                  "the planets stayed where they stood in 1986")
    display.key("Escape")
    finish(viewer)


def text_follows_the_screens_density(args, display):
    """On a screen of 192 dpi the status line's text is drawn twice as tall as at 96, with no option given."""
    heights = {}
    # Still: no asteroid moves in the top rows while the line is looked for.
    set_setting(args.folder, "Shipped", "0", "Catalogues")
    for dpi in (96, 192):
        screen = xdrive.VirtualDisplay(dpi=dpi)
        try:
            viewer = xdrive.Viewer(screen, args.folder)
            viewer.start()
            top = (800, 120, 0, 0)
            before = viewer.picture("before-%d.png" % dpi, crop=top)
            screen.key("space")                    # "… (paused)" on the status line
            viewer.wait_action_delay()
            rows = picture_until(viewer, "status-%d.png" % dpi, top, lambda rows: difference(rows, before) > 0.1,
                                 "no status line at %d dpi" % dpi)
            written = [y for y, (row, old) in enumerate(zip(rows, before))
                       if any(abs(a - b) > 60 for a, b in zip(row, old))]
            heights[dpi] = written[-1] - written[0] + 1
            screen.key("Escape")
            finish(viewer)
        finally:
            screen.stop()
    ratio = heights[192] / float(heights[96])
    check(1.8 < ratio < 2.2, "the status line is %d pixels tall at 96 dpi and %d at 192" % (heights[96], heights[192]))


def info_and_picking(args, display):
    """Aimed at a planet, C picks it and I tells of it in the top left corner, with a cross at the centre; the
    next click goes on from the planet picked; aimed at empty sky, C says there is nothing."""
    write_system(args.folder, body("A", OrbitRadius=3000, OrbitCompleted=90) + body("B", Size=300, OrbitRadius=-5000) +
                 body("C", OrbitRadius=4000, OrbitCompleted=180))
    set_setting(args.folder, "Density", "0")
    viewer = xdrive.Viewer(display, args.folder)
    viewer.start()
    panel = (330, 250, 8, 52)
    before = viewer.picture("no-panel.png", crop=panel)
    log_end = len(viewer.log_text())
    display.key("c")
    viewer.wait_for_log("OrvTest: status: Picked B", after=log_end)
    display.key("i")
    picture_until(viewer, "panel.png", panel, lambda rows: bright_count(rows, 120) > bright_count(before, 120) + 500,
                  "I showed no panel")
    viewer.press_button(1)
    viewer.wait_for_log("OrvTest: status: C", after=log_end)
    viewer.wait_action_delay()
    # Up, away from every body: in steps the input library sees one by one,
    # as it brings the grabbed pointer back to the window's middle.
    for _ in range(8):
        display.run("xdotool", "mousemove_relative", "--", "0", "-50")
        viewer.wait_frames(2)
    display.run("xdotool", "click", "2")
    viewer.wait_for_log("OrvTest: status: Nothing under the centre of the view", after=log_end)
    # The wheel turned away narrows the field of view by a quarter a notch.
    display.run("xdotool", "click", "4")
    viewer.wait_for_log("OrvTest: status: Field of view 36\u00b0", after=log_end)
    display.key("Escape")
    finish(viewer)


def help_and_flight_by_place(args, display):
    """On a US, a French and a Dvorak layout the key in the US W place flies forward, and on the last two the
    key labelled W does not; the key labelled H shows the list of controls and F1 hides it; typing "io" at
    the go-to prompt finds Io."""
    set_setting(args.folder, "MoveConstant", "6000")
    view = (800, 400, 0, 100)
    for layout, place_w, label_w in ((["-layout", "us"], "w", None), (["-layout", "fr"], "z", "w"),
                                     (["-layout", "us", "-variant", "dvorak"], "comma", "w")):
        display.run("setxkbmap", *layout)
        viewer = xdrive.Viewer(display, args.folder, arguments=["--system", "clockwork.cfg"])
        viewer.start()
        display.key("space")                   # the sky stands still: only the camera moves the picture
        viewer.wait_action_delay()
        still = viewer.picture("still.png", crop=view)
        if label_w:
            viewer.hold_key(label_w, frames=20)
            check(difference(still, viewer.picture("label-w.png", crop=view)) < 0.5,
                  "%s: the key labelled W flew" % layout[1])
        viewer.hold_key(place_w, frames=20)
        picture_until(viewer, "place-w.png", view, lambda rows: difference(rows, still) > 0.5,
                      "%s: the key in the US W place did not fly" % layout[1])
        log_end = len(viewer.log_text())
        display.key("Return")
        display.type_text("io")
        display.key("Return")
        viewer.wait_for_log("OrvTest: status: Io", after=log_end)
        viewer.wait_frames(5)                  # drawn at Io, its near model shown
        help_before = viewer.picture("help-before.png", crop=view)
        display.key("h")
        picture_until(viewer, "help.png", view, lambda rows: difference(rows, help_before) > 2,
                      "%s: the key labelled H showed no help" % layout[1])
        viewer.wait_action_delay()
        display.key("F1")
        picture_until(viewer, "help-hidden.png", view, lambda rows: difference(rows, help_before) < 0.5,
                      "%s: F1 did not hide the help" % layout[1])
        display.key("Escape")
        finish(viewer)
    display.run("setxkbmap", "-layout", "us")


def orbit_line_and_label(args, display):
    """O draws the moon's orbit as a ring round the sun; N writes its name beside it."""
    facing_system(args.folder, period=0)
    viewer = xdrive.Viewer(display, args.folder)
    viewer.start()
    moon = moon_centre(viewer, "moon.png")
    radius = math.hypot(moon[0] - 400, moon[1] - 300)

    def on_ring(rows):
        """Bright pixels on the far side of the ring from the moon."""
        count = 0
        for step in range(90, 271, 3):
            angle = math.atan2(moon[1] - 300, moon[0] - 400) + math.radians(step)
            x, y = int(400 + radius * math.cos(angle)), int(300 + radius * math.sin(angle))
            count += any(rows[y + dy][x + dx] > 20 for dx in (-1, 0, 1) for dy in (-1, 0, 1))
        return count
    before = on_ring(viewer.picture("no-ring.png"))
    display.key("o")
    picture_until(viewer, "ring.png", None, lambda rows: on_ring(rows) > before + 40, "O drew no ring where the orbit is")
    beside = (120, 30, int(moon[0]) + 45, int(moon[1]) - 15)
    text_before = bright_count(viewer.picture("no-label.png", crop=beside), 100)
    viewer.wait_action_delay()
    display.key("n")
    picture_until(viewer, "label.png", beside, lambda rows: bright_count(rows, 100) > text_before + 40,
                  "N wrote no name beside the moon")
    display.key("Escape")
    finish(viewer)


# Above the ecliptic, as the tour's second picture: the default system's
# widest orbit (Neptune's aphelion) fills the height with a tenth to spare.
NAMES_VIEW = """[above]
Position=0 20356 0
Direction=0 -1 0
Up=0 0 -1
Date=%s
Paused=1
OrbitLines=1
Names=1
Statistics=0
"""


def rgb_pixels(path):
    """The picture's rows of (red, green, blue)."""
    size = subprocess.run(["identify", "-format", "%w %h", path], check=True, stdout=subprocess.PIPE, text=True)
    width, height = (int(n) for n in size.stdout.split())
    data = subprocess.run(["convert", path, "-depth", "8", "rgb:-"], check=True, stdout=subprocess.PIPE).stdout
    return [[tuple(data[3 * (y * width + x):3 * (y * width + x) + 3]) for x in range(width)] for y in range(height)]


def names_in_log(viewer, shot, after=0):
    """The names the viewer says a screenshot shows: {name: (left, top, right, bottom)}, pixels."""
    line = "OrvTest: names in %s: " % shot
    end = viewer.wait_for_log(line, after=after)
    text = viewer.log_text()[end:].split("\n")[0]
    names = {}
    for item in text.split("; "):
        match = re.fullmatch(r"(.+) at (-?\d+),(-?\d+) ([\d.]+)x(\d+)", item)
        check(match, "a name the log does not give in place: %r" % item)
        left, top = int(match.group(2)), int(match.group(3))
        names[match.group(1)] = (left, top, left + float(match.group(4)), top + int(match.group(5)))
    return names


def names_across_jupiter(viewer, shot, after):
    """Goes to Jupiter and takes a screenshot: the names it shows, none of them across Jupiter's disc but its own."""
    display = viewer.display
    display.key("Return")
    display.type_text("Jupiter")
    display.key("Return")
    viewer.wait_for_log("OrvTest: status: Jupiter", after=after)
    viewer.wait_frames(5)
    viewer.wait_action_delay()
    display.key("Print")
    near = names_in_log(viewer, shot, after=after)
    rows = xdrive.gray_pixels(viewer.file(shot), 800, 600)

    def limb(dx, dy):
        """How far from the middle the disc reaches one way: to the first of three dark pixels in a row."""
        dark = 0
        for step in range(1, 300):
            dark = dark + 1 if rows[300 + dy * step][400 + dx * step] < 30 else 0
            if dark == 3:
                return step - 3
        return 300
    # The camera five radii from its centre: a radius of 300 tan(asin(1/5)) / tan(22.5 degrees), 148 pixels.
    radius = max(limb(1, 0), limb(-1, 0), limb(0, 1), limb(0, -1))
    check(140 < radius < 156, "Jupiter's disc is %d pixels across in %s, not seen from five radii" % (2 * radius, shot))
    check("Jupiter" in near, "Jupiter has no name in %s: %s" % (shot, sorted(near)))
    for name, (left, top, right, bottom) in near.items():
        dx = 400 - min(max(400, left), right)
        dy = 300 - min(max(300, top), bottom)
        check(name == "Jupiter" or math.hypot(dx, dy) >= radius - 2,
              "%s is written across Jupiter's disc (%s)" % (name, shot))
    return near


def names_never_collide(args, display):
    """N from above the ecliptic, where the tour once wrote Mars, Phobos and Deimos over one another: every
    name the picture shows lies where the viewer says, inside the window, with two pixels between any two.
    Gone to Jupiter, no name but Jupiter's lies across its disc: when Io is behind it, Io has none, and
    when Europa's name would lie across it on its right, it goes elsewhere."""
    with open(args.folder + "/views.cfg", "w") as stream:
        # Io on the far side of Jupiter, 126 pixels from the middle of its disc seen from where a go-to arrives.
        stream.write(NAMES_VIEW % "2026-12-12T18:50:00.000Z")
    viewer = xdrive.Viewer(display, args.folder, arguments=["--view", "above"])
    viewer.start()
    display.key("Print")
    shown = names_in_log(viewer, "screenshot_1.png")
    viewer.wait_for_log("OrvTest: status: Saved: screenshot_1.png")
    check({"Mars", "Jupiter", "Saturn", "Earth"} <= set(shown), "names shown from above: %s" % sorted(shown))
    for name, (left, top, right, bottom) in shown.items():
        check(left >= 0 and top >= 0 and right <= 800 and bottom <= 600, "%s leaves the window" % name)
        for other, (left2, top2, right2, bottom2) in shown.items():
            apart = right + 2 <= left2 or right2 + 2 <= left or bottom + 2 <= top2 or bottom2 + 2 <= top
            check(other == name or apart, "%s and %s are less than two pixels apart" % (name, other))

    # The same view without names: what changed is the names' text, and all of it lies where the log says.
    scene = (800, 500, 0, 50)                  # below the status line
    before = viewer.picture("named.png", crop=scene)
    viewer.wait_action_delay()
    display.key("n")
    picture_until(viewer, "unnamed.png", scene, lambda rows: difference(rows, before) > 0.3, "N hid no names")
    viewer.wait_action_delay()
    display.key("Print")
    viewer.wait_for_log("OrvTest: status: Saved: screenshot_2.png")
    named, bare = rgb_pixels(viewer.file("screenshot_1.png")), rgb_pixels(viewer.file("screenshot_2.png"))
    inked = {name: 0 for name in shown}
    for y in range(600):
        for x in range(800):
            if max(abs(a - b) for a, b in zip(named[y][x], bare[y][x])) < 40:
                continue
            # The status line said something else, and the sun's glow flickers.
            if (y < 46 and abs(x - 400) < 300) or (x - 400) ** 2 + (y - 300) ** 2 < 20 ** 2:
                continue
            under = [name for name, (left, top, right, bottom) in shown.items()
                     if left - 1 <= x <= right + 1 and top - 1 <= y <= bottom + 1]
            check(under, "text at %d,%d outside every name the log gives (screenshot_1.png)" % (x, y))
            for name in under:
                inked[name] += 1
    blank = [name for name, count in inked.items() if count < 10]
    check(not blank, "names the log gives but the picture does not show: %s" % blank)

    viewer.wait_action_delay()
    display.key("n")
    near = names_across_jupiter(viewer, "screenshot_3.png", len(viewer.log_text()))
    check("Io" not in near, "Io, behind Jupiter, is named (screenshot_3.png)")
    # A day later Europa stands left of Jupiter's disc, its name's right-hand place across it.
    log_end = len(viewer.log_text())
    display.key("t")
    display.type_text("2026-12-13T20:00")
    display.key("Return")
    viewer.wait_for_log("OrvTest: the clock set to 2026-12-13 20:00 UTC", after=log_end)
    names_across_jupiter(viewer, "screenshot_4.png", log_end)
    display.key("Escape")
    finish(viewer)


# Layouts, screen densities and window sizes are the window system's: the
# sanitizers would find nothing in them the plain pass's frames do not run.
SCENARIOS = [facing_moon_session, the_clock, info_and_picking, orbit_line_and_label, names_never_collide] + (
    [] if SANITIZED else [resized_window_keeps_proportions, text_follows_the_screens_density,
                          help_and_flight_by_place])
WINDOW_MANAGER = {"resized_window_keeps_proportions"}
NO_DISPLAY = set()
