#!/usr/bin/env python3
"""The real viewer in a real window under Xvfb, driven with real key presses
and mouse clicks and judged by its exit code, its files and its pictures.

Usage: run_e2e.py --run-dir BUILD/run --work DIR SCENARIO
"""

import argparse
import os
import sys
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "scripts"))
import xdrive  # noqa: E402

ERROR_CAPTION = "An exception has occured!"


class Failure(Exception):
    pass


def check(condition, message):
    if not condition:
        raise Failure(message)


def bright_count(rows, threshold=60):
    return sum(1 for row in rows for v in row if v > threshold)


def window_picture(display, viewer, name, crop=None, size=(800, 600)):
    """The render window's picture, as grey rows at `size` (or of `crop`)."""
    path = display.grab(viewer.file(name), viewer.window)
    if crop:
        return xdrive.gray_pixels(path, crop[0], crop[1], crop)
    return xdrive.gray_pixels(path, *size)


def set_setting(folder, key, value):
    """Rewrites one key of the working folder's OrvTest.cfg."""
    path = os.path.join(folder, "OrvTest.cfg")
    with open(path) as stream:
        lines = stream.read().splitlines()
    lines = [("%s=%s" % (key, value)) if line.split("=")[0].strip() == key else line for line in lines]
    with open(path, "w") as stream:
        stream.write("\n".join(lines) + "\n")


def finish(viewer, expected=0, timeout=20.0):
    code = viewer.wait(timeout)
    check(code == expected, "exit code %r, expected %d; stderr: %s" % (code, expected, viewer.stderr_text()))
    check("OGRE EXCEPTION" not in viewer.log_text(), "the log holds an exception")


# ---------------------------------------------------------------- scenarios

def accept_and_close(args, display):
    viewer = xdrive.Viewer(display, args.folder)
    viewer.start(settle=4.0)
    check(os.path.exists(viewer.file("Ogre.log")), "no Ogre.log in the working folder")
    # The start view: the sun glowing at the centre and stars around it.
    centre = window_picture(display, viewer, "start.png", crop=(30, 30, 385, 285))
    check(xdrive.mean(centre) > 150, "no sun at the centre (mean %.1f)" % xdrive.mean(centre))
    sky = window_picture(display, viewer, "sky.png", crop=(800, 200, 0, 0))
    check(bright_count(sky, 40) > 20, "no stars in the upper sky")
    display.close_window(xdrive.WINDOW_TITLE)
    finish(viewer)
    check(viewer.stderr_text() == "", "stderr: " + viewer.stderr_text())


def cancel(args, display):
    viewer = xdrive.Viewer(display, args.folder)
    viewer.accept_dialog(xdrive.CANCEL)
    finish(viewer)
    check(display.find_window(xdrive.WINDOW_TITLE, timeout=0.5) is None, "a render window appeared")
    check(viewer.stderr_text() == "", "stderr: " + viewer.stderr_text())


def dismiss_error_box(display):
    box = display.find_window(ERROR_CAPTION, timeout=15)
    check(box is not None, "no error box titled %r" % ERROR_CAPTION)
    time.sleep(0.5)
    display.run("xdotool", "key", "Return")


def missing_resources(args, display):
    os.remove(os.path.join(args.folder, "resources.cfg"))
    viewer = xdrive.Viewer(display, args.folder)
    dismiss_error_box(display)
    # An engine error during the run ends in the normal shut-down and exit code 0.
    finish(viewer, expected=0)
    text = viewer.stderr_text()
    check(ERROR_CAPTION in text and "resources.cfg" in text, "stderr: " + text)


def no_display(args, display):
    viewer = xdrive.Viewer(None, args.folder)
    code = viewer.wait(20)
    check(code == 0, "exit code %r (a negative code is a signal)" % code)
    check("X display" in viewer.stderr_text(), "stderr: " + viewer.stderr_text())


def missing_settings(args, display):
    os.remove(os.path.join(args.folder, "OrvTest.cfg"))
    viewer = xdrive.Viewer(None, args.folder)
    code = viewer.wait(20)
    check(code == 1, "exit code %r (a negative code is a signal)" % code)
    text = viewer.stderr_text()
    check("OrvTest.cfg" in text and ERROR_CAPTION in text, "stderr: " + text)
    check(not os.path.exists(viewer.file("Ogre.log")), "the engine started")


def missing_system(args, display):
    set_setting(args.folder, "StaticSystem", "other.cfg")
    viewer = xdrive.Viewer(None, args.folder)
    check(viewer.wait(20) == 1, "exit code is not 1")
    check("other.cfg" in viewer.stderr_text(), "stderr: " + viewer.stderr_text())


def error_box(args, display):
    os.remove(os.path.join(args.folder, "OrvTest.cfg"))
    viewer = xdrive.Viewer(display, args.folder)
    check(display.find_window(ERROR_CAPTION, timeout=15), "no error box titled %r" % ERROR_CAPTION)
    time.sleep(1.0)
    check(viewer.process.poll() is None, "the program ended before the box was dismissed")
    dismiss_error_box(display)
    check(viewer.wait(10) == 1, "exit code is not 1")


def screenshots(args, display):
    viewer = xdrive.Viewer(display, args.folder)
    viewer.start()
    display.hold_key("Print")
    time.sleep(1.0)
    display.hold_key("Print")
    time.sleep(1.0)
    check(os.path.exists(viewer.file("screenshot_1.png")), "no screenshot_1.png")
    check(os.path.exists(viewer.file("screenshot_2.png")), "no screenshot_2.png")
    check("800x600" in display.run("identify", viewer.file("screenshot_1.png")), "not an 800x600 picture")
    # A picture from an earlier run is never overwritten.
    with open(viewer.file("screenshot_3.png"), "w") as stream:
        stream.write("an earlier picture")
    display.hold_key("Print")
    time.sleep(1.0)
    with open(viewer.file("screenshot_3.png")) as stream:
        check(stream.read() == "an earlier picture", "screenshot_3.png was overwritten")
    check(os.path.exists(viewer.file("screenshot_4.png")), "no screenshot_4.png")
    display.hold_key("Escape")
    finish(viewer)
    check(not os.path.exists(viewer.file("screenshot_5.png")), "one press saved two pictures")


def jump_wireframe_overlay(args, display):
    viewer = xdrive.Viewer(display, args.folder)
    viewer.start()
    around_centre = (240, 120, 280, 240)
    before = bright_count(window_picture(display, viewer, "before.png", crop=around_centre), 40)
    display.press_button(1)
    time.sleep(1.0)
    solid = bright_count(window_picture(display, viewer, "jumped.png", crop=around_centre), 40)
    check(solid > 3 * max(before, 200), "no lit body at the centre after a jump (%d, %d)" % (before, solid))

    statistics = (260, 110, 8, 482)
    shown = bright_count(window_picture(display, viewer, "overlay.png", crop=statistics), 100)
    display.hold_key("f")
    time.sleep(0.8)
    hidden = bright_count(window_picture(display, viewer, "no-overlay.png", crop=statistics), 100)
    check(shown > 300 and hidden < shown / 4, "F did not hide the statistics (%d, %d)" % (shown, hidden))

    display.hold_key("r")
    time.sleep(0.8)
    wire = bright_count(window_picture(display, viewer, "wireframe.png", crop=around_centre), 40)
    check(0 < wire < 0.8 * solid, "R did not switch to wireframe (%d, %d)" % (solid, wire))
    display.hold_key("Escape")
    finish(viewer)


def fly(args, display):
    set_setting(args.folder, "MoveConstant", "6000")
    viewer = xdrive.Viewer(display, args.folder)
    viewer.start()
    sun = (200, 200, 300, 200)
    far = bright_count(window_picture(display, viewer, "far.png", crop=sun), 100)
    # 9,000 of the 14,500 units to the sun: its glow covers about seven times the area.
    display.hold_key("w", 1.5)
    time.sleep(0.5)
    near = bright_count(window_picture(display, viewer, "near.png", crop=sun), 100)
    check(near > 2 * far, "holding W did not bring the sun closer (%d, %d)" % (far, near))
    display.hold_key("Escape")
    finish(viewer)


def escape_and_log(args, display):
    viewer = xdrive.Viewer(display, args.folder)
    viewer.start()
    display.hold_key("Escape")
    finish(viewer, timeout=10)
    check("*** Initializing OIS ***" in viewer.log_text(), "the log lacks the input line")
    check(viewer.stderr_text() == "", "stderr: " + viewer.stderr_text())


def window_manager_close(args, display):
    viewer = xdrive.Viewer(display, args.folder)
    viewer.start(settle=2.0)
    display.close_window(xdrive.WINDOW_TITLE)
    finish(viewer, timeout=10)
    check(viewer.stderr_text() == "", "stderr: " + viewer.stderr_text())


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
    with open(os.path.join(args.folder, "long.cfg"), "w") as stream:
        stream.write(LONG_RUN_SYSTEM)
    set_setting(args.folder, "StaticSystem", "long.cfg")
    set_setting(args.folder, "Density", "0")
    hud = os.path.join(args.folder, "hud")
    viewer = xdrive.Viewer(display, args.folder, extra_env=xdrive.hud_environment(display, hud))
    viewer.start()
    # Left of the sun's glow and above the statistics, where only the planet passes.
    # From 45 degrees it swings across the view; it would take over 400 frames a
    # second to carry it behind the sun within the run.
    left = (340, 440, 0, 0)
    first = bright_centroid(window_picture(display, viewer, "first.png", crop=left))
    deadline = time.time() + 120
    while sum(xdrive.hud_samples(hud)) * 0.1 < 3000 and time.time() < deadline:
        time.sleep(1)
    last = bright_centroid(window_picture(display, viewer, "last.png", crop=left))
    # The motion is frame-locked: a sanitizer build may not reach enough frames to show it.
    if not os.environ.get("ORVTEST_SANITIZED"):
        check(abs(first[0] - last[0]) + abs(first[1] - last[1]) > 10,
              "the planet did not move: %s %s" % (first, last))
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
    with open(os.path.join(args.folder, "hostile.cfg"), "w") as stream:
        stream.write(HOSTILE_SYSTEM)
    for key, value in (("StaticSystem", "hostile.cfg"), ("Density", "2147483647"), ("Distance", "1e30"),
                       ("MeshLod", "1"), ("Reduction", "5"), ("MoveConstant", "3e38")):
        set_setting(args.folder, key, value)
    viewer = xdrive.Viewer(display, args.folder)
    viewer.start(settle=5.0)
    for button in (1, 1, 1, 3):
        display.press_button(button)
        time.sleep(0.4)
    display.hold_key("w", 0.5)
    display.hold_key("s", 0.5)
    display.run("xdotool", "mousemove_relative", "--", "300", "-200")
    time.sleep(0.5)
    display.hold_key("Escape")
    finish(viewer, timeout=30)
    check("capped at 100000 stars" in viewer.log_text(), "the star count was not capped")


def bad_near_clip(args, display):
    set_setting(args.folder, "NearClipDistance", "0")
    viewer = xdrive.Viewer(display, args.folder)
    viewer.accept_dialog()
    dismiss_error_box(display)
    code = viewer.wait(20)
    check(code == 0, "exit code %r" % code)
    check("Near clip distance" in viewer.stderr_text(), "stderr: " + viewer.stderr_text())


def unreadable_files(args, display):
    """Files the user may not read, and a folder where a file should be: a message, never a hang."""
    os.chmod(args.folder, 0o755)
    cases = (("OrvTest.cfg", "settings file", 1), ("1.cfg", "system file", 1))
    for name, what, expected in cases:
        path = os.path.join(args.folder, name)
        os.chmod(path, 0)
        viewer = xdrive.Viewer(None, args.folder, as_nobody=True)
        code = viewer.wait(20)
        text = viewer.stderr_text()
        check(code == expected and name in text and what in text, "%s: exit %r, stderr %s" % (name, code, text))
        os.chmod(path, 0o644)
    os.rename(os.path.join(args.folder, "1.cfg"), os.path.join(args.folder, "1.saved"))
    os.mkdir(os.path.join(args.folder, "1.cfg"))
    viewer = xdrive.Viewer(None, args.folder)
    check(viewer.wait(20) == 1, "a folder as system file was not refused")
    check("not a regular file" in viewer.stderr_text(), "stderr: " + viewer.stderr_text())


def read_only_folder(args, display):
    """No ogre.cfg, screenshot or log can be written: the viewer runs all the same."""
    os.chmod(args.folder, 0o755)
    viewer = xdrive.Viewer(display, args.folder, as_nobody=True)
    viewer.start()
    display.hold_key("Print")
    time.sleep(1.0)
    check(viewer.process.poll() is None, "the viewer ended on a failed screenshot")
    check(not os.path.exists(viewer.file("screenshot_1.png")), "a screenshot appeared in a read-only folder")
    display.hold_key("Escape")
    finish(viewer)
    check("not saved" in viewer.stderr_text(), "stderr: " + viewer.stderr_text())


def close_at_twenty_moments(args, display):
    """The window closed through the window manager from start-up to steady state."""
    for moment in range(20):
        folder = xdrive.make_working_folder(args.run_dir, args.work)
        viewer = xdrive.Viewer(display, folder)
        viewer.accept_dialog()
        check(viewer.wait_for_window() is not None, "no window")
        time.sleep(moment * 0.15)
        display.close_window(xdrive.WINDOW_TITLE)
        code = viewer.wait(20)
        check(code == 0, "closed after %.2f s: exit code %r, stderr %s" % (moment * 0.15, code, viewer.stderr_text()))
        check(viewer.stderr_text() == "", "closed after %.2f s: %s" % (moment * 0.15, viewer.stderr_text()))


def soak(args, display):
    """5,000 frames of the default scene: resident memory stays flat after the warm-up."""
    hud = os.path.join(args.folder, "hud")
    viewer = xdrive.Viewer(display, args.folder, extra_env=xdrive.hud_environment(display, hud))
    viewer.start(settle=1.0)
    drawn, settled, end, peak = xdrive.soak(viewer.process, hud, 5000, warmup=0.2)
    display.hold_key("Escape")
    finish(viewer, timeout=30)
    check(drawn >= 5000, "only %d frames" % drawn)
    if not os.environ.get("ORVTEST_SANITIZED"):
        check(end - settled <= 4096,
              "memory grew by %d KiB over %d frames (peak %d KiB)" % (end - settled, drawn, peak))


SCENARIOS = {f.__name__: f for f in (
    accept_and_close, cancel, missing_resources, no_display, missing_settings, missing_system, error_box,
    screenshots, jump_wireframe_overlay, fly, escape_and_log, window_manager_close, long_run,
    hostile_system, bad_near_clip, unreadable_files, read_only_folder, close_at_twenty_moments, soak)}
NEEDS_WINDOW_MANAGER = {"accept_and_close", "window_manager_close", "long_run", "close_at_twenty_moments"}
NEEDS_NO_DISPLAY = {"no_display", "missing_settings", "missing_system", "unreadable_files"}


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--run-dir", required=True)
    parser.add_argument("--work", required=True)
    parser.add_argument("scenario", choices=sorted(SCENARIOS))
    args = parser.parse_args()
    os.makedirs(args.work, exist_ok=True)
    args.folder = xdrive.make_working_folder(args.run_dir, args.work)

    display = None
    if args.scenario not in NEEDS_NO_DISPLAY:
        display = xdrive.VirtualDisplay(window_manager=args.scenario in NEEDS_WINDOW_MANAGER)
    try:
        SCENARIOS[args.scenario](args, display)
    except Failure as failure:
        print("FAILED %s: %s (working folder %s)" % (args.scenario, failure, args.folder))
        return 1
    finally:
        for process in list(filter(None, [display])):
            process.stop()
    print("passed %s" % args.scenario)
    return 0


if __name__ == "__main__":
    sys.exit(main())
