"""What the viewer says when it cannot start or cannot go on, and how it ends."""

import os
import shutil

from common import ERROR_CAPTION, body, check, dismiss_error_box, finish, set_setting, write_system, xdrive


def error_boxes(args, display):
    """A missing resources.cfg, then a missing OrvTest.cfg: each a box that waits for Return, then exit 1."""
    os.remove(os.path.join(args.folder, "resources.cfg"))
    viewer = xdrive.Viewer(display, args.folder)
    dismiss_error_box(display)
    finish(viewer, expected=1)
    check(ERROR_CAPTION in viewer.stderr_text() and "resources.cfg" in viewer.stderr_text(),
          "stderr: " + viewer.stderr_text())

    os.remove(os.path.join(args.folder, "OrvTest.cfg"))
    viewer = xdrive.Viewer(display, args.folder)
    check(display.find_window(ERROR_CAPTION, timeout=30), "no error box titled %r" % ERROR_CAPTION)
    check(viewer.process.poll() is None, "the program ended before the box was dismissed")
    dismiss_error_box(display)
    check(viewer.wait(30) == 1, "exit code is not 1")
    check("OrvTest.cfg" in viewer.stderr_text(), "stderr: " + viewer.stderr_text())


def refused_files(args, display):
    """Unreadable or untakeable files: a message saying where and exit 1, before the engine starts."""
    chain = "".join(body("c%04d" % n, "c%04d" % (n - 1) if n else "Sun") for n in range(1001))
    # What is done to the folder, the words the message must hold; the last: no display at all.
    rows = [(lambda: set_setting(args.folder, "StaticSystem", "other.cfg"), "other.cfg"),
            (lambda: set_setting(args.folder, "Range", "-1"), "OrvTest.cfg:"),
            (lambda: write_system(args.folder, chain), "test.cfg:11003: this body is a moon 1001 levels below the sun"),
            (lambda: None, "X display")]
    saved = os.path.join(args.work, "OrvTest.saved")
    shutil.copy(os.path.join(args.folder, "OrvTest.cfg"), saved)
    for change, said in rows:
        shutil.copy(saved, os.path.join(args.folder, "OrvTest.cfg"))
        change()
        viewer = xdrive.Viewer(None, args.folder)
        code = viewer.wait(30)
        check(code == 1 and said in viewer.stderr_text(),
              "%r: exit %r (a negative code is a signal), stderr %s" % (said, code, viewer.stderr_text()))
        check(not os.path.exists(viewer.file("Ogre.log")) or said == "X display", "%r: the engine started" % said)

    # A file its reader may not read: run as an ordinary user, to whom permissions mean something.
    shutil.copy(saved, os.path.join(args.folder, "OrvTest.cfg"))
    os.chmod(args.folder, 0o755)
    os.chmod(os.path.join(args.folder, "1.cfg"), 0)
    viewer = xdrive.Viewer(None, args.folder, as_nobody=True)
    check(viewer.wait(30) == 1 and "system file" in viewer.stderr_text(), "stderr: " + viewer.stderr_text())


def error_in_the_loop(args, display):
    """An engine error while the input library holds the keyboard: the box still takes Return."""
    check(args.failing_viewer, "no --failing-viewer given")
    shutil.copy(args.failing_viewer, args.folder)
    viewer = xdrive.Viewer(display, args.folder, program="./" + os.path.basename(args.failing_viewer))
    viewer.accept_dialog()
    dismiss_error_box(display)
    finish(viewer, expected=1)
    check("A listener fails on purpose" in viewer.stderr_text(), "stderr: " + viewer.stderr_text())


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


SCENARIOS = [error_boxes, refused_files, error_in_the_loop, read_only_folder]
WINDOW_MANAGER = set()
NO_DISPLAY = {"refused_files"}
