"""A program of the desktop: its command line, its tour, installed anywhere, and a long run."""

import os
import subprocess
import tempfile

from common import SANITIZED, body, check, difference, finish, set_setting, write_system, xdrive
import measure


def command_line(args, display):
    """Answers and refusals of both programs, without a display to touch."""
    env = {k: v for k, v in os.environ.items() if k != "DISPLAY"}
    # program, arguments, exit code, the stream that must hold the text, the text
    rows = [("orvtest", ["--help"], 0, "stdout", "--tour DIR"), ("orvtest", ["--version"], 0, "stdout", "orvtest 1."),
            ("orvtest", ["--bogus"], 2, "stderr", "unknown option --bogus\nusage: orvtest"),
            ("orvtest", ["--tour", "shots"], 1, "stderr", "xvfb-run orvtest --tour shots"),
            ("orvtest-check", ["--at"], 2, "stderr", "--at needs a DATE"),
            ("orvtest-check", ["--help"], 0, "stdout", "usage: orvtest-check"),
            ("orvtest-check", ["--version"], 0, "stdout", "orvtest-check 1."),
            ("orvtest-check", ["--bogus"], 2, "stderr", "unknown option --bogus")]
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
    """--tour's stops, each a new picture, without the dialog; from above the planets move between dates."""
    above = {}
    # Lit all round: a jump may well face a body's night side.
    set_setting(args.folder, "AmbientLight", "0.6 0.6 0.6")
    for system, date, stops in (("clockwork.cfg", None, 5), ("1.cfg", "1986-02-09", 7), ("1.cfg", "2030-01-01", 7)):
        folder = "pictures-%s-%s" % (system, date)
        viewer = xdrive.Viewer(display, args.folder, arguments=["--tour", folder, "--system", system] +
                               (["--at", date] if date else []))
        code = viewer.wait(120)
        check(code == 0, "exit code %r; stderr: %s" % (code, viewer.stderr_text()))
        shots = [viewer.file("%s/screenshot_%d.png" % (folder, n)) for n in range(1, stops + 1)]
        for shot in shots:
            check(os.path.exists(shot) and "800x600" in display.run("identify", shot),
                  shot + " is not an 800x600 picture")
        check(not os.path.exists(viewer.file("%s/screenshot_%d.png" % (folder, stops + 1))),
              "more pictures than stops")
        rows = [xdrive.gray_pixels(shot, 80, 60) for shot in shots]
        for first, second in zip(rows, rows[1:]):
            check(difference(first, second) > 2, "two stops of the tour look the same")
        with open(viewer.stdout.name) as stream:
            check(folder in stream.read(), "stdout does not say where the pictures are")
        if date:
            # Without the clock's corner and the status line.
            above[date] = xdrive.gray_pixels(shots[1], 80, 60, crop=(800, 420, 0, 50))
    check(difference(above["1986-02-09"], above["2030-01-01"]) > 1, "the planets stand still from 1986 to 2030")


def installed_from_an_empty_folder(args, display):
    """Installed and started from an empty folder: the person's folders made, nothing written there."""
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
        first_lines = "\n".join(stream.read().splitlines()[:8])
    for used in ("settings from %s/OrvTest.cfg" % config, "system from %s/1.cfg" % config,
                 "resources from %s/share/orvtest/resources.cfg" % prefix):
        check(used in first_lines, "the log's first lines do not say %r: %s" % (used, first_lines))
    check(set(os.listdir(empty)) == {"stdout.txt", "stderr.txt"}, "written where it started: %s" % os.listdir(empty))


def bright_centroid(rows, threshold=40):
    points = [(x, y) for y, row in enumerate(rows) for x, v in enumerate(row) if v > threshold]
    check(points, "nothing bright in the picture")
    return (sum(p[0] for p in points) / len(points), sum(p[1] for p in points) / len(points))


def soak(args, display):
    """Ten thousand frames of a planet going round: it moves, the log stays clean, resident memory stays flat."""
    # The C library's heap grows in steps of about 1 MiB for a while as Mesa's many short-lived blocks fragment
    # it, so only the frames after the first 5,000 count: a leak of a few hundred bytes a frame still shows.
    write_system(args.folder, body("Planet", Size=500, OrbitRadius=4000, OrbitPeriod=2, YawPeriod=0.1,
                                   OrbitCompleted=45, NearDistance=100000))
    frames = 10000
    viewer = xdrive.Viewer(display, args.folder)
    viewer.start(frames=2)
    # Left of the sun's glow and above the statistics, where only the planet passes.
    left = (340, 440, 0, 0)
    first = bright_centroid(viewer.picture("first.png", crop=left))
    drawn, settled, end, peak = measure.soak(viewer.process, viewer.hud, frames, period=viewer.HUD_PERIOD,
                                             warmup=0.5, timeout=800)
    last = bright_centroid(viewer.picture("last.png", crop=left))
    display.key("Escape")
    finish(viewer, timeout=60)
    check(drawn >= frames, "only %d frames" % drawn)
    check(abs(first[0] - last[0]) + abs(first[1] - last[1]) > 3, "the planet did not move: %s %s" % (first, last))
    for word in ("Error", "ERROR", "Exception", "exception"):
        check(word not in viewer.log_text(), "the log holds %r" % word)
    growth = "memory grew by %d KiB over the %d frames after the first %d (peak %d KiB)" % (
        end - settled, drawn - frames // 2, frames // 2, peak)
    print(growth)
    check(end - settled <= 3072, growth)


# The long soak, and the tour (the same frames as the plain pass's), in the plain pass only.
SCENARIOS = [command_line, installed_from_an_empty_folder] + ([] if SANITIZED else [tour, soak])
WINDOW_MANAGER = set()
NO_DISPLAY = {"command_line"}
