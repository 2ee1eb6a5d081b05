#!/usr/bin/env python3
"""The real viewer in a real window under Xvfb, driven with real key presses
and mouse clicks and judged by its exit code, its files and its pictures.
Every step waits for an event (a window, frames drawn, a file, a picture
that changes), each with a deadline.

Usage: run_e2e.py --run-dir BUILD/run --work DIR [--failing-viewer PATH] SCENARIO
"""

import argparse
import math
import os
import shutil
import subprocess
import sys
import tempfile
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "scripts"))
import xdrive  # noqa: E402
from xdrive import bright_count, wait_until  # noqa: E402

ERROR_CAPTION = "An exception has occured!"
SANITIZED = bool(os.environ.get("ORVTEST_SANITIZED"))


class Failure(Exception):
    pass


def check(condition, message):
    if not condition:
        raise Failure(message)


def set_setting(folder, key, value):
    """Rewrites one key of the working folder's OrvTest.cfg."""
    path = os.path.join(folder, "OrvTest.cfg")
    with open(path) as stream:
        lines = stream.read().splitlines()
    lines = [("%s=%s" % (key, value)) if line.split("=")[0].strip() == key else line for line in lines]
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


# ---------------------------------------------------------------- start and end

def accept_and_close(args, display):
    viewer = xdrive.Viewer(display, args.folder)
    viewer.start()
    check(os.path.exists(viewer.file("Ogre.log")), "no Ogre.log in the working folder")
    # The start view: the sun glowing at the centre and stars around it.
    picture_until(viewer, "start.png", (30, 30, 385, 285), lambda rows: xdrive.mean(rows) > 150,
                  "no sun at the centre")
    picture_until(viewer, "sky.png", (800, 200, 0, 0), lambda rows: bright_count(rows, 40) > 20,
                  "no stars in the upper sky")
    display.close_window(xdrive.WINDOW_TITLE)
    finish(viewer)
    check(viewer.stderr_text() == "", "stderr: " + viewer.stderr_text())


def cancel(args, display):
    viewer = xdrive.Viewer(display, args.folder)
    viewer.accept_dialog(xdrive.CANCEL)
    finish(viewer)
    check(display.find_window(xdrive.WINDOW_TITLE, timeout=0.5) is None, "a render window appeared")
    check(viewer.stderr_text() == "", "stderr: " + viewer.stderr_text())


def escape_and_log(args, display):
    viewer = xdrive.Viewer(display, args.folder)
    viewer.start()
    display.key("Escape")
    finish(viewer)
    check("*** Initializing OIS ***" in viewer.log_text(), "the log lacks the input line")
    check(viewer.stderr_text() == "", "stderr: " + viewer.stderr_text())


def window_manager_close(args, display):
    viewer = xdrive.Viewer(display, args.folder)
    viewer.start(frames=2)
    display.close_window(xdrive.WINDOW_TITLE)
    finish(viewer)
    check(viewer.stderr_text() == "", "stderr: " + viewer.stderr_text())


def resetting_display(args, display):
    """An X server that resets whenever its last client leaves, as a bare
    xvfb-run's does: the viewer's own connections never leave it alone, so
    the engine never meets a server in the middle of a reset."""
    display = xdrive.VirtualDisplay(resets=True)
    try:
        for attempt in range(15):
            viewer = xdrive.Viewer(display, args.folder)
            viewer.accept_dialog(xdrive.CANCEL)
            code = viewer.wait(30)
            check(code == 0 and viewer.stderr_text() == "",
                  "attempt %d: exit %r, stderr %s" % (attempt, code, viewer.stderr_text()))
    finally:
        display.stop()


def close_at_twenty_moments(args, display):
    """The window closed through the window manager from start-up to steady state."""
    for moment in range(20):
        folder = xdrive.make_working_folder(args.run_dir, args.work)
        viewer = xdrive.Viewer(display, folder)
        viewer.accept_dialog()
        check(viewer.wait_for_window() is not None, "no window")
        if moment:
            viewer.wait_frames(moment)
        display.close_window(xdrive.WINDOW_TITLE)
        code = viewer.wait(30)
        check(code == 0, "closed after %d frames: exit code %r, stderr %s" % (moment, code, viewer.stderr_text()))
        check(viewer.stderr_text() == "", "closed after %d frames: %s" % (moment, viewer.stderr_text()))
        shutil.rmtree(folder, ignore_errors=True)


# ---------------------------------------------------------------- failures

def missing_resources(args, display):
    os.remove(os.path.join(args.folder, "resources.cfg"))
    viewer = xdrive.Viewer(display, args.folder)
    dismiss_error_box(display)
    finish(viewer, expected=1)
    text = viewer.stderr_text()
    check(ERROR_CAPTION in text and "resources.cfg" in text, "stderr: " + text)


def no_display(args, display):
    viewer = xdrive.Viewer(None, args.folder)
    code = viewer.wait(30)
    check(code == 1, "exit code %r (a negative code is a signal)" % code)
    check("X display" in viewer.stderr_text(), "stderr: " + viewer.stderr_text())


def missing_settings(args, display):
    os.remove(os.path.join(args.folder, "OrvTest.cfg"))
    viewer = xdrive.Viewer(None, args.folder)
    code = viewer.wait(30)
    check(code == 1, "exit code %r (a negative code is a signal)" % code)
    text = viewer.stderr_text()
    check("OrvTest.cfg" in text and ERROR_CAPTION in text, "stderr: " + text)
    check(not os.path.exists(viewer.file("Ogre.log")), "the engine started")


def missing_system(args, display):
    set_setting(args.folder, "StaticSystem", "other.cfg")
    viewer = xdrive.Viewer(None, args.folder)
    check(viewer.wait(30) == 1, "exit code is not 1")
    check("other.cfg" in viewer.stderr_text(), "stderr: " + viewer.stderr_text())


def error_box(args, display):
    """The box waits for the person: the program ends only once it is dismissed."""
    os.remove(os.path.join(args.folder, "OrvTest.cfg"))
    viewer = xdrive.Viewer(display, args.folder)
    check(display.find_window(ERROR_CAPTION, timeout=30), "no error box titled %r" % ERROR_CAPTION)
    check(viewer.process.poll() is None, "the program ended before the box was dismissed")
    dismiss_error_box(display)
    check(viewer.wait(30) == 1, "exit code is not 1")


def error_in_the_loop(args, display):
    """An engine error while the input library holds the keyboard: the box still takes Return."""
    check(args.failing_viewer, "no --failing-viewer given")
    shutil.copy(args.failing_viewer, args.folder)
    viewer = xdrive.Viewer(display, args.folder, program="./" + os.path.basename(args.failing_viewer))
    viewer.accept_dialog()
    dismiss_error_box(display)
    finish(viewer, expected=1)
    check("A listener fails on purpose" in viewer.stderr_text(), "stderr: " + viewer.stderr_text())


def bad_near_clip(args, display):
    set_setting(args.folder, "NearClipDistance", "0")
    viewer = xdrive.Viewer(display, args.folder)
    viewer.accept_dialog()
    dismiss_error_box(display)
    finish(viewer, expected=1)
    check("Near clip distance" in viewer.stderr_text(), "stderr: " + viewer.stderr_text())


def unreadable_files(args, display):
    """Files the user may not read, and a folder where a file should be: a message, never a hang."""
    os.chmod(args.folder, 0o755)
    for name, what in (("OrvTest.cfg", "settings file"), ("1.cfg", "system file")):
        path = os.path.join(args.folder, name)
        os.chmod(path, 0)
        viewer = xdrive.Viewer(None, args.folder, as_nobody=True)
        code = viewer.wait(30)
        text = viewer.stderr_text()
        check(code == 1 and name in text and what in text, "%s: exit %r, stderr %s" % (name, code, text))
        os.chmod(path, 0o644)
    os.rename(os.path.join(args.folder, "1.cfg"), os.path.join(args.folder, "1.saved"))
    os.mkdir(os.path.join(args.folder, "1.cfg"))
    viewer = xdrive.Viewer(None, args.folder)
    check(viewer.wait(30) == 1, "a folder as system file was not refused")
    check("not a regular file" in viewer.stderr_text(), "stderr: " + viewer.stderr_text())


def read_only_folder(args, display):
    """No ogre.cfg, screenshot or log can be written: the viewer runs all the same."""
    os.chmod(args.folder, 0o755)
    viewer = xdrive.Viewer(display, args.folder, as_nobody=True)
    viewer.start()
    display.key("Print")
    viewer.wait_frames(10)
    check(viewer.process.poll() is None, "the viewer ended on a failed screenshot")
    check(not os.path.exists(viewer.file("screenshot_1.png")), "a screenshot appeared in a read-only folder")
    display.key("Escape")
    finish(viewer)
    check("not saved" in viewer.stderr_text(), "stderr: " + viewer.stderr_text())


# ---------------------------------------------------------------- controls

def screenshots(args, display):
    viewer = xdrive.Viewer(display, args.folder)
    viewer.start()
    display.key("Print")
    viewer.wait_for_file("screenshot_1.png")
    viewer.wait_action_delay()
    display.key("Print")
    viewer.wait_for_file("screenshot_2.png")
    check("800x600" in display.run("identify", viewer.file("screenshot_1.png")), "not an 800x600 picture")
    # A picture from an earlier run is never overwritten.
    with open(viewer.file("screenshot_3.png"), "w") as stream:
        stream.write("an earlier picture")
    viewer.wait_action_delay()
    display.key("Print")
    viewer.wait_for_file("screenshot_4.png")
    with open(viewer.file("screenshot_3.png")) as stream:
        check(stream.read() == "an earlier picture", "screenshot_3.png was overwritten")
    display.key("Escape")
    finish(viewer)
    check(not os.path.exists(viewer.file("screenshot_5.png")), "one press saved two pictures")


def jump_wireframe_overlay(args, display):
    viewer = xdrive.Viewer(display, args.folder)
    viewer.start()
    around_centre = (240, 120, 280, 240)
    before = bright_count(viewer.picture("before.png", crop=around_centre), 40)
    display.run("xdotool", "click", "1")
    solid_rows = picture_until(viewer, "jumped.png", around_centre,
                               lambda rows: bright_count(rows, 40) > 3 * max(before, 200),
                               "no lit body at the centre after a jump")
    solid = bright_count(solid_rows, 40)

    statistics = (260, 110, 8, 482)
    shown = bright_count(viewer.picture("overlay.png", crop=statistics), 100)
    check(shown > 300, "no statistics at the start (%d)" % shown)
    viewer.wait_action_delay()
    display.key("f")
    picture_until(viewer, "no-overlay.png", statistics, lambda rows: bright_count(rows, 100) < shown / 4,
                  "F did not hide the statistics")

    viewer.wait_action_delay()
    display.key("r")
    picture_until(viewer, "wireframe.png", around_centre,
                  lambda rows: 0 < bright_count(rows, 40) < 0.8 * solid, "R did not switch to wireframe")
    display.key("Escape")
    finish(viewer)


def fly(args, display):
    set_setting(args.folder, "MoveConstant", "6000")
    viewer = xdrive.Viewer(display, args.folder)
    viewer.start()
    sun = (200, 200, 300, 200)
    far = bright_count(viewer.picture("far.png", crop=sun), 100)
    # Closer to the sun, its glow covers more of the view.
    display.key_down("w")
    try:
        picture_until(viewer, "near.png", sun, lambda rows: bright_count(rows, 100) > 2 * far,
                      "holding W did not bring the sun closer")
    finally:
        display.key_up("w")
    display.key("Escape")
    finish(viewer)


RESIZE_SYSTEM = """[Ball]
Name=Ball
Parent=Sun
Model=SphereMesh_64x128
Material=default
Size=1500
OrbitRadius=5000
OrbitPeriod=0
PitchPeriod=0
YawPeriod=0
RollPeriod=0
OrbitCompleted=180
"""


def bright_box(rows, threshold=250):
    xs = [x for row in rows for x, v in enumerate(row) if v > threshold]
    ys = [y for y, row in enumerate(rows) if any(v > threshold for v in row)]
    check(xs and ys, "nothing bright in the picture")
    return max(xs) - min(xs) + 1, max(ys) - min(ys) + 1


def resized_window_keeps_proportions(args, display):
    """A ball in front of the sun, white all over in a white ambient light, stays round at 1000 × 500.

    Only the ball is pure white: the statistics' text is not."""
    write_system(args.folder, RESIZE_SYSTEM)
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


LONG_RUN_SYSTEM = """[Planet]
Name=Planet
Parent=Sun
Model=SphereMesh_32x64
Material=default
Size=500
OrbitRadius=4000
OrbitPeriod=2
PitchPeriod=0
YawPeriod=0.1
RollPeriod=0
OrbitCompleted=45
NearDistance=100000
"""


def bright_centroid(rows, threshold=40):
    points = [(x, y) for y, row in enumerate(rows) for x, v in enumerate(row) if v > threshold]
    check(points, "nothing bright in the picture")
    return (sum(p[0] for p in points) / len(points), sum(p[1] for p in points) / len(points))


def long_run(args, display):
    """A few thousand frames: the planet goes round and the log stays clean."""
    write_system(args.folder, LONG_RUN_SYSTEM)
    set_setting(args.folder, "Density", "0")
    viewer = xdrive.Viewer(display, args.folder)
    viewer.start()
    # Left of the sun's glow and above the statistics, where only the planet passes.
    # From 45 degrees it swings across the view; it would take over 400 frames a
    # second to carry it behind the sun within the run.
    left = (340, 440, 0, 0)
    first = bright_centroid(viewer.picture("first.png", crop=left))
    # The motion is frame-locked: a sanitizer build runs fewer frames in its time.
    frames = 600 if SANITIZED else 3000
    viewer.wait_frames(frames, timeout=300)
    last = bright_centroid(viewer.picture("last.png", crop=left))
    check(abs(first[0] - last[0]) + abs(first[1] - last[1]) > 3, "the planet did not move: %s %s" % (first, last))
    display.close_window(xdrive.WINDOW_TITLE)
    finish(viewer)
    log = viewer.log_text()
    for word in ("Error", "ERROR", "Exception", "exception"):
        check(word not in log, "the log holds %r" % word)


HOSTILE_SYSTEM = """[A]
Name=Mirrored
Parent=Sun
Model=SphereMesh_32x64
Material=default
Size=-5
OrbitRadius=1000
OrbitPeriod=1e-38
PitchPeriod=1e-45
YawPeriod=3e38
RollPeriod=0.5
YawAxis=0 0 0
[A.Huge]
Name=Huge
Parent=A
Model=SphereMesh_128x256
Material=Planets/Earth
Size=3e38
OrbitRadius=1e30
OrbitPeriod=1
PitchPeriod=0
YawPeriod=0
RollPeriod=0
NearDistance=3e38
FarDistance=-1
[B]
Name=Nothing
Parent=Sun
Model=SphereMesh_4x6
Material=Planets/Moon
Size=0
OrbitRadius=nan
OrbitPeriod=inf
PitchPeriod=0
YawPeriod=0
RollPeriod=0
OrbitAxis=0 0 0
"""


def hostile_system(args, display):
    """Absurd but readable values: the viewer runs, jumps and flies without a crash."""
    write_system(args.folder, HOSTILE_SYSTEM)
    for key, value in (("Density", "2147483647"), ("Distance", "1e30"), ("MeshLod", "1"), ("Reduction", "5"),
                       ("MoveConstant", "3e38")):
        set_setting(args.folder, key, value)
    viewer = xdrive.Viewer(display, args.folder)
    viewer.start(frames=3)
    for button in (1, 1, 1, 3):
        display.run("xdotool", "click", str(button))
        viewer.wait_frames(3)
    viewer.hold_key("w")
    viewer.hold_key("s")
    display.run("xdotool", "mousemove_relative", "--", "300", "-200")
    viewer.wait_frames(3)
    display.key("Escape")
    finish(viewer, timeout=60)
    check("capped at 100000 stars" in viewer.log_text(), "the star count was not capped")


def soak(args, display):
    """The default scene: resident memory stays flat once the first 5,000 frames are drawn.

    The C library's heap grows in steps of about 1 MiB for a while as Mesa's
    many short-lived blocks fragment it (from 1,000 to 5,000 frames by up to
    5 MiB, after that by at most about 1 MiB), so only the frames after that
    count: a leak of a few hundred bytes a frame still shows."""
    frames = 5000 if SANITIZED else 10000    # a sanitizer build only has to get through them
    viewer = xdrive.Viewer(display, args.folder)
    viewer.start(frames=2)
    drawn, settled, end, peak = xdrive.soak(viewer.process, viewer.hud, frames, period=viewer.HUD_PERIOD,
                                            warmup=0.5, timeout=800)
    display.key("Escape")
    finish(viewer, timeout=60)
    check(drawn >= frames, "only %d frames" % drawn)
    if not SANITIZED:
        growth = "memory grew by %d KiB over the %d frames after the first %d (peak %d KiB)" % (
            end - settled, drawn - frames // 2, frames // 2, peak)
        print(growth)
        check(end - settled <= 3072, growth)


# ---------------------------------------------------------------- time, following, go-to, help

# A moon going round the sun in the plane facing the start camera: its
# "Frame" parent, at the sun, is tilted so that the moon's orbit axis is the
# camera's line of sight, and on screen the moon moves as far as it turns.
FACING_SYSTEM = """[Frame]
Name=Frame
Parent=Sun
Model=SphereMesh_4x6
Material=default
Size=1
OrbitRadius=0
OrbitPeriod=0
PitchPeriod=0
YawPeriod=0
RollPeriod=0
OrbitAxis=1 0 0
OrbitCompleted=90

[Frame.Moon]
Name=Moon
Parent=Frame
Model=SphereMesh_32x64
Material=default
Size=600
OrbitRadius=3000
OrbitPeriod={period}
PitchPeriod=0
YawPeriod=0
RollPeriod=0
OrbitCompleted=60
NearDistance=100000
"""


def facing_system(folder, period, steps_per_second=60):
    write_system(folder, FACING_SYSTEM.format(period=period))
    set_setting(folder, "Density", "0")
    # Lit all round: the sun lights it from the side.
    set_setting(folder, "AmbientLight", "0.7 0.7 0.7")
    # The motion by real time, so that "as far in the same time" is a matter of clocks.
    with open(os.path.join(folder, "OrvTest.cfg"), "a") as stream:
        stream.write("[Performance]\nStepsPerSecond=%d\n" % steps_per_second)


def moon_centre(viewer, name):
    """Where the moon is: the centroid of the bright pixels away from the sun's glow at the
    centre, the status line at the top and the statistics at the bottom left."""
    rows = viewer.picture(name)
    points = [(x, y) for y, row in enumerate(rows) for x, v in enumerate(row)
              if v > 60 and (x - 400) ** 2 + (y - 300) ** 2 > 110 ** 2 and y > 80 and not (x < 280 and y > 460)]
    check(len(points) > 50, "no moon in %s" % viewer.file(name))
    return (sum(p[0] for p in points) / len(points), sum(p[1] for p in points) / len(points))


def moved_per_second(viewer, seconds):
    first, start = moon_centre(viewer, "from.png"), time.time()
    time.sleep(seconds)   # the subject: how far the moon goes in this much real time
    last, end = moon_centre(viewer, "to.png"), time.time()
    return math.hypot(last[0] - first[0], last[1] - first[1]) / (end - start)


def time_control(args, display):
    """] three times: the moon goes eight times as fast; Space stops it; Space starts it again."""
    facing_system(args.folder, period=0.5)   # two degrees a second at rate 1
    viewer = xdrive.Viewer(display, args.folder)
    viewer.start()
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
    display.key("space")
    viewer.wait_action_delay()
    check(moved_per_second(viewer, 0.5) > 0.5 * fast, "Space did not start the moon again")
    display.key("Escape")
    finish(viewer)


def follow(args, display):
    """L after a jump keeps a fast moon at the centre of the picture while it goes round."""
    facing_system(args.folder, period=1.0 / 30)   # thirty degrees a second
    viewer = xdrive.Viewer(display, args.folder)
    viewer.start()
    display.run("xdotool", "click", "1")      # the second body: the moon
    viewer.wait_action_delay()
    display.key("l")
    viewer.wait_action_delay()
    # A jump while following follows the new body from in front of it:
    # away to the frame and back to the moon, which is then at the centre.
    for button in ("3", "1"):
        display.run("xdotool", "click", button)
        viewer.wait_action_delay()
    centre = (160, 160, 320, 220)
    start = time.time()
    while time.time() - start < 4.0:          # a third of the way round
        rows = viewer.picture("followed.png", crop=centre)
        check(bright_count(rows, 60) > 0.9 * 160 * 160, "the moon left the centre of the picture")
        viewer.wait_frames(5)
    display.key("Escape")
    finish(viewer)


def go_to_by_name(args, display):
    """Return, a name and Return show what a click to that body shows; Escape at the prompt does not quit."""
    facing_system(args.folder, period=0)
    viewer = xdrive.Viewer(display, args.folder)
    viewer.start()
    view = (500, 400, 150, 100)
    display.run("xdotool", "click", "1")      # to the moon
    viewer.wait_action_delay()
    viewer.wait_frames(3)
    clicked = viewer.picture("clicked.png", crop=view)
    display.run("xdotool", "click", "1")      # on to the frame at the sun
    viewer.wait_action_delay()
    picture_until(viewer, "elsewhere.png", view, lambda rows: difference(rows, clicked) > 20,
                  "the second click did not leave the moon")
    display.key("Return")
    display.type_text("mo")
    display.key("Tab")                        # completes to "Moon"
    display.key("Return")
    picture_until(viewer, "gone-to.png", view, lambda rows: difference(rows, clicked) < 2,
                  "going to 'mo' + Tab did not show what the click showed")

    display.key("Return")
    display.type_text("x")
    display.key("Escape")
    viewer.wait_frames(10)
    check(viewer.process.poll() is None, "Escape at the prompt ended the viewer")
    display.key("Escape")
    finish(viewer)


def difference(rows, other):
    """Mean absolute difference of two grey pictures of one size."""
    total = sum(abs(a - b) for row, other_row in zip(rows, other) for a, b in zip(row, other_row))
    return total / float(len(rows) * len(rows[0]))


def help_overlay(args, display):
    """H shows every control over the middle of the window; H again hides it."""
    set_setting(args.folder, "Density", "0")
    viewer = xdrive.Viewer(display, args.folder)
    viewer.start()
    # The column of inputs, left of the sun.
    inputs = (200, 380, 30, 110)
    before = bright_count(viewer.picture("no-help.png", crop=inputs), 120)
    display.key("h")
    picture_until(viewer, "help.png", inputs, lambda rows: bright_count(rows, 120) > before + 1500,
                  "H showed no list of controls")
    viewer.wait_action_delay()
    display.key("F1")
    picture_until(viewer, "help-hidden.png", inputs, lambda rows: bright_count(rows, 120) < before + 200,
                  "F1 did not hide the list")
    display.key("Escape")
    finish(viewer)


# ---------------------------------------------------------------- orbit lines, labels, live reload

def orbit_lines_and_labels(args, display):
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


def reload_after_writing(args, display):
    """Saving the system file moves the moon within two seconds; a broken one keeps it and says why."""
    facing_system(args.folder, period=0)
    system = os.path.join(args.folder, "test.cfg")
    viewer = xdrive.Viewer(display, args.folder)
    viewer.start()
    first = moon_centre(viewer, "before.png")

    def rewrite(old, new):
        with open(system) as stream:
            text = stream.read()
        with open(system, "w") as stream:
            stream.write(text.replace(old, new))

    rewrite("OrbitCompleted=60", "OrbitCompleted=150")
    written = time.time()
    deadline = 10.0 if SANITIZED else 2.0
    try:
        wait_until(lambda: math.hypot(*(a - b for a, b in zip(moon_centre(viewer, "after.png"), first))) > 50,
                   deadline, "the moon to move", interval=0.1)
    except xdrive.Timeout:
        raise Failure("the moon did not move within %.0f s of the save" % deadline)
    moved = moon_centre(viewer, "after.png")
    print("moved %.2f s after the save" % (time.time() - written))

    # A broken file: the picture stays, the viewer runs, the log says where.
    log_end = len(viewer.log_text())
    rewrite("Parent=Frame", "Parent=Frmae")
    viewer.wait_for_log("test.cfg:17: [Frame.Moon] error: Parent 'Frmae' names no body", after=log_end)
    viewer.wait_frames(5)
    check(math.hypot(*(a - b for a, b in zip(moon_centre(viewer, "kept.png"), moved))) < 2, "the moon moved")

    # Written a hundred times a second, deleted, a folder in its place: the viewer goes on.
    with open(system) as stream:
        good = stream.read().replace("Parent=Frmae", "Parent=Frame")
    start = time.time()
    n = 0
    while time.time() - start < 1.0:
        with open(system, "w") as stream:
            stream.write(good[:(n * 97) % len(good)])
        n += 1
        time.sleep(0.01)
    os.remove(system)
    viewer.wait_for_log("test.cfg: error: Cannot open file", after=log_end)
    os.mkdir(system)
    viewer.wait_for_log("not a regular file", after=log_end)
    os.rmdir(system)
    with open(system, "w") as stream:
        stream.write(good.replace("OrbitCompleted=150", "OrbitCompleted=60"))
    wait_until(lambda: math.hypot(*(a - b for a, b in zip(moon_centre(viewer, "back.png"), first))) < 3,
               30, "the moon back where it began", interval=0.2)
    check(viewer.process.poll() is None, "the viewer ended")

    # The settings: stars come at once; the level of detail waits for the next start.
    set_setting(args.folder, "Density", "3000")
    set_setting(args.folder, "MeshLod", "0")
    viewer.wait_for_log("MeshLod takes effect at the next start", after=log_end)
    picture_until(viewer, "stars.png", (800, 150, 0, 50), lambda rows: bright_count(rows, 40) > 20, "no stars came")
    display.key("Escape")
    finish(viewer)


# ---------------------------------------------------------------- a desktop program

def command_line(args, display):
    """Answers and refusals of both programs, without a display to touch."""
    env = {k: v for k, v in os.environ.items() if k != "DISPLAY"}
    rows = [
        # program, arguments, exit code, the stream that must hold the text, the text
        ("orvtest", ["--help"], 0, "stdout", "--tour DIR"),
        ("orvtest", ["-h"], 0, "stdout", "usage: orvtest"),
        ("orvtest", ["--version"], 0, "stdout", "orvtest 1."),
        ("orvtest", ["--fullscreen"], 2, "stderr", "unknown option --fullscreen\nusage: orvtest"),
        ("orvtest", ["--system"], 2, "stderr", "--system needs a FILE"),
        ("orvtest", ["1.cfg"], 2, "stderr", "unexpected argument 1.cfg"),
        ("orvtest", ["--tour", "shots"], 1, "stderr", "xvfb-run orvtest --tour shots"),
        ("orvtest-check", ["--help"], 0, "stdout", "usage: orvtest-check"),
        ("orvtest-check", ["--version"], 0, "stdout", "orvtest-check 1."),
        ("orvtest-check", ["--fullscreen"], 2, "stderr", "unknown option --fullscreen"),
    ]
    for program, arguments, code, stream, text in rows:
        done = subprocess.run(["./" + program, *arguments], cwd=args.folder, env=env, capture_output=True,
                              text=True, timeout=30)
        what = "%s %s" % (program, " ".join(arguments))
        check(done.returncode == code, "%s: exit code %r, not %r" % (what, done.returncode, code))
        output = done.stdout if stream == "stdout" else done.stderr
        check(text in output, "%s: %s lacks %r: %r" % (what, stream, text, output))
        if code == 0:
            check(done.stderr == "", "%s: stderr %r" % (what, done.stderr))
    check(not os.path.exists(os.path.join(args.folder, "Ogre.log")), "the engine started")


def tour(args, display):
    """--tour takes its pictures without the dialog, each stop a different view, and ends by itself."""
    viewer = xdrive.Viewer(display, args.folder, arguments=["--tour", "pictures"])
    code = viewer.wait(120)
    check(code == 0, "exit code %r; stderr: %s" % (code, viewer.stderr_text()))
    shots = [viewer.file("pictures/screenshot_%d.png" % n) for n in range(1, 6)]
    for shot in shots:
        check(os.path.exists(shot), "no " + shot)
        check("800x600" in display.run("identify", shot), shot + " is not 800x600")
    check(not os.path.exists(viewer.file("pictures/screenshot_6.png")), "more pictures than stops")
    rows = [xdrive.gray_pixels(shot, 80, 60) for shot in shots]
    for first, second in zip(rows, rows[1:]):
        check(difference(first, second) > 2, "two stops of the tour look the same")
    with open(viewer.stdout.name) as stream:
        check("pictures" in stream.read(), "stdout does not say where the pictures are")


def installed_from_an_empty_folder(args, display):
    """Installed under a prefix and started from an empty folder by someone new: the person's folders are
    made, the screenshot goes to their pictures, nothing is written where they stood."""
    build = os.path.dirname(os.path.abspath(args.run_dir))
    prefix = tempfile.mkdtemp(prefix="orvtest-prefix-", dir=args.work)
    subprocess.run(["cmake", "--install", build, "--prefix", prefix], check=True, stdout=subprocess.DEVNULL)
    home = tempfile.mkdtemp(prefix="orvtest-home-", dir=args.work)
    empty = tempfile.mkdtemp(prefix="orvtest-empty-", dir=args.work)
    os.chmod(home, 0o755)
    viewer = xdrive.Viewer(display, empty, program=os.path.join(prefix, "bin", "orvtest"),
                           extra_env={"HOME": home, "XDG_CONFIG_HOME": "", "XDG_CACHE_HOME": ""})
    viewer.start()
    display.key("Print")
    viewer.wait_for_file(os.path.join(home, "Pictures", "OrvTest", "screenshot_1.png"))
    display.key("Escape")
    finish(viewer)
    config = os.path.join(home, ".config", "orvtest")
    for name in ("OrvTest.cfg", "1.cfg"):
        with open(os.path.join(config, name)) as stream:
            check(stream.read().startswith("# Your copy"), name + " is not a commented copy")
    with open(os.path.join(home, ".cache", "orvtest", "Ogre.log")) as stream:
        log = stream.read()
    first_lines = "\n".join(log.splitlines()[:8])
    for used in ("settings from %s/OrvTest.cfg" % config, "system from %s/1.cfg" % config,
                 "resources from %s/share/orvtest/resources.cfg" % prefix):
        check(used in first_lines, "the log's first lines do not say %r: %s" % (used, first_lines))
    check(set(os.listdir(empty)) == {"stdout.txt", "stderr.txt"}, "written where it started: %s" % os.listdir(empty))


SCENARIOS = {f.__name__: f for f in (
    accept_and_close, cancel, escape_and_log, window_manager_close, resetting_display, close_at_twenty_moments,
    missing_resources, no_display, missing_settings, missing_system, error_box, error_in_the_loop,
    bad_near_clip, unreadable_files, read_only_folder,
    screenshots, jump_wireframe_overlay, fly, resized_window_keeps_proportions, long_run, hostile_system, soak,
    time_control, follow, go_to_by_name, help_overlay, orbit_lines_and_labels, reload_after_writing,
    command_line, tour, installed_from_an_empty_folder)}
NEEDS_WINDOW_MANAGER = {"accept_and_close", "window_manager_close", "long_run", "close_at_twenty_moments",
                        "resized_window_keeps_proportions"}
NEEDS_NO_DISPLAY = {"no_display", "missing_settings", "missing_system", "unreadable_files", "resetting_display",
                    "command_line"}


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--run-dir", required=True)
    parser.add_argument("--work", required=True)
    parser.add_argument("--failing-viewer")
    parser.add_argument("scenario", choices=sorted(SCENARIOS))
    args = parser.parse_args()
    os.makedirs(args.work, exist_ok=True)
    args.folder = xdrive.make_working_folder(args.run_dir, args.work)
    # A viewer started outside a working folder makes a person's folders: never the real person's.
    os.environ["HOME"] = tempfile.mkdtemp(prefix="orvtest-home-", dir=args.work)
    os.chmod(os.environ["HOME"], 0o755)
    for variable in ("XDG_CONFIG_HOME", "XDG_CACHE_HOME"):
        os.environ.pop(variable, None)

    display = None
    if args.scenario not in NEEDS_NO_DISPLAY:
        display = xdrive.VirtualDisplay(window_manager=args.scenario in NEEDS_WINDOW_MANAGER)
    try:
        SCENARIOS[args.scenario](args, display)
    except (Failure, AssertionError) as failure:
        print("FAILED %s: %s (working folder %s)" % (args.scenario, failure, args.folder))
        return 1
    finally:
        if display:
            display.stop()
    print("passed %s" % args.scenario)
    shutil.rmtree(args.folder, ignore_errors=True)
    return 0


if __name__ == "__main__":
    sys.exit(main())
