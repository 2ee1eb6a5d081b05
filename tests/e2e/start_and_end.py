"""Starting, the first picture and its controls, and every way of ending."""

import os
import shutil
import signal
import subprocess

from common import SANITIZED, check, finish, picture_until, bright_count, xdrive, wait_until


def window_picture_and_close(args, display):
    """The start view, a jump, the statistics and screenshots; the window manager closes it."""
    viewer = xdrive.Viewer(display, args.folder)
    viewer.start()
    # The start view: the sun glowing at the centre and stars around it.
    picture_until(viewer, "start.png", (30, 30, 385, 285), lambda rows: xdrive.mean(rows) > 150, "no sun at the centre")
    picture_until(viewer, "sky.png", (800, 200, 0, 0), lambda rows: bright_count(rows, 40) > 20,
                  "no stars in the upper sky")
    around_centre = (240, 120, 280, 240)
    before = bright_count(viewer.picture("before.png", crop=around_centre), 40)
    display.run("xdotool", "click", "1")
    picture_until(viewer, "jumped.png", around_centre, lambda rows: bright_count(rows, 40) > 3 * max(before, 200),
                  "no lit body at the centre after a jump")

    statistics = (260, 110, 8, 482)
    shown = bright_count(viewer.picture("overlay.png", crop=statistics), 100)
    check(shown > 300, "no statistics at the start (%d)" % shown)
    viewer.wait_action_delay()
    display.key("f")
    picture_until(viewer, "no-overlay.png", statistics, lambda rows: bright_count(rows, 100) < shown / 4,
                  "F did not hide the statistics")

    # Screenshots: numbered, the size of the window, never over an earlier picture.
    viewer.wait_action_delay()
    display.key("Print")
    viewer.wait_for_file("screenshot_1.png")
    check("800x600" in display.run("identify", viewer.file("screenshot_1.png")), "not an 800x600 picture")
    with open(viewer.file("screenshot_2.png"), "w") as stream:
        stream.write("an earlier picture")
    viewer.wait_action_delay()
    display.key("Print")
    viewer.wait_for_file("screenshot_3.png")
    with open(viewer.file("screenshot_2.png")) as stream:
        check(stream.read() == "an earlier picture", "screenshot_2.png was overwritten")

    display.close_window(xdrive.WINDOW_TITLE)
    finish(viewer)
    check(not os.path.exists(viewer.file("screenshot_4.png")), "one press saved two pictures")
    check(not [n for n in os.listdir(args.folder) if n.startswith(".screenshot")], "a picture was left half made")
    check(viewer.stderr_text() == "", "stderr: " + viewer.stderr_text())
    check("*** Initializing OIS ***" in viewer.log_text(), "the log lacks the input line")


def close_at_any_moment(args, display):
    """Closed by the window manager after 0 to 18 frames (every other under the slow sanitizers)."""
    for moment in range(0, 10, 2 if SANITIZED else 1):
        folder = xdrive.make_working_folder(args.run_dir, args.work)
        viewer = xdrive.Viewer(display, folder)
        viewer.accept_dialog()
        check(viewer.wait_for_window() is not None, "no window")
        if moment:
            viewer.wait_frames(2 * moment)
        display.close_window(xdrive.WINDOW_TITLE)
        code = viewer.wait(30)
        check(code == 0 and viewer.stderr_text() == "",
              "closed after %d frames: exit code %r, stderr %s" % (2 * moment, code, viewer.stderr_text()))
        shutil.rmtree(folder, ignore_errors=True)


def resetting_display(args, display):
    """Cancel at the dialog on a server that resets when its last client leaves, as bare xvfb-run's."""
    display = xdrive.VirtualDisplay(resets=True)
    try:
        for attempt in range(5):
            viewer = xdrive.Viewer(display, args.folder)
            viewer.accept_dialog(xdrive.CANCEL)
            code = viewer.wait(30)
            check(code == 0 and viewer.stderr_text() == "",
                  "attempt %d: exit %r, stderr %s" % (attempt, code, viewer.stderr_text()))
            check(display.find_window(xdrive.WINDOW_TITLE, timeout=0.5) is None, "a render window appeared")
    finally:
        display.stop()


def window_manager_started_later(args, display):
    """A desktop whose window manager starts after the viewer: its close still ends the viewer as any close."""
    viewer = xdrive.Viewer(display, args.folder)
    viewer.start()
    manager = subprocess.Popen(["openbox"], env=display.env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    try:
        wait_until(lambda: "_NET_SUPPORTING_WM_CHECK" in display.run("xprop", "-root", check=False), 15,
                   "the window manager")
        wait_until(lambda: "WM_STATE" in display.run("xprop", "-id", viewer.window, check=False), 15,
                   "the window to be managed")
        viewer.wait_frames(5)
        display.close_window(xdrive.WINDOW_TITLE)
        finish(viewer)
        check(viewer.stderr_text() == "", "stderr: " + viewer.stderr_text())
    finally:
        manager.terminate()
        manager.wait()


def signals(args, display):
    """SIGTERM and SIGINT end the viewer as Escape does: the engine shut down, the log complete."""
    for sent, status in ((signal.SIGTERM, 143), (signal.SIGINT, 130)):
        folder = xdrive.make_working_folder(args.run_dir, args.work)
        viewer = xdrive.Viewer(display, folder)
        viewer.start(frames=3)
        viewer.process.send_signal(sent)
        finish(viewer, expected=status)
        check("*-*-* OGRE Shutdown" in viewer.log_text(), "%s: the engine was not shut down" % sent.name)
        shutil.rmtree(folder, ignore_errors=True)


SCENARIOS = [window_picture_and_close, close_at_any_moment, resetting_display,
             window_manager_started_later, signals]
WINDOW_MANAGER = {"window_picture_and_close", "close_at_any_moment"}
NO_DISPLAY = {"resetting_display"}
