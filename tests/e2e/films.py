"""Kept views and films, as only the running program shows them."""

import os

from common import check, difference, finish, xdrive

# Three views of the default system, each at its own date.
VIEWS = ("[a]\nPosition=0 0 -14500\nDirection=0 0 1\nDate=2000-01-01T12:00:00.000Z\n"
         "[b]\nPosition=0 5000 -8000\nDirection=0 -0.5 1\nDate=2000-01-20T12:00:00.000Z\n"
         "[c]\nPosition=3000 1000 -3000\nDirection=-1 -0.2 1\nDate=2000-02-01T00:00:00.000Z\n")


def window_film(args, display):
    """V records the view at the window's size into film_1/ until V again."""
    viewer = xdrive.Viewer(display, args.folder)
    viewer.start()
    display.key("v")
    viewer.wait_for_log("OrvTest: recording a film of 800 x 600 in film_1/")
    viewer.wait_frames(10)
    display.key("v")
    viewer.wait_for_log("OrvTest: the film in film_1/ has ")
    frames = sorted(os.listdir(viewer.file("film_1")))
    check(len(frames) >= 5 and frames[0] == "frame_000001.png", "film_1 holds %s" % frames[:3])
    size = display.run("identify", "-format", "%wx%h", viewer.file("film_1/" + frames[-1]))
    check(size == "800x600", "a frame of %s, not the window's 800x600" % size)
    display.key("Escape")
    finish(viewer)


def film_along_a_path(args, display):
    """--record along kept views: its frames, the first view's first, the same bytes again; refusals."""
    with open(os.path.join(args.folder, "views.cfg"), "w") as stream:
        stream.write(VIEWS)

    def record(folder, *options, code=0):
        """The film's stdout and stderr."""
        viewer = xdrive.Viewer(display, args.folder, arguments=["--record", folder, "--size", "320x240", *options])
        exit_code = viewer.wait(120)
        check(exit_code == code, "exit %r, not %d; stderr: %s" % (exit_code, code, viewer.stderr_text()))
        with open(viewer.stdout.name) as stream:
            return stream.read(), viewer.stderr_text()

    def frame(folder, number):
        return os.path.join(args.folder, folder, "frame_%06d.png" % number)

    path = ("--path", "a,b,c", "--frames", "12", "--fps", "10")
    out, _ = record("path", *path)
    names = sorted(os.listdir(os.path.join(args.folder, "path")))
    check(names == ["frame_%06d.png" % n for n in range(1, 13)], "the film holds %s" % names)
    check("ffmpeg -framerate 10 -i path/frame_%06d.png" in out, "no ffmpeg command: %s" % out)
    record("again", *path)
    for number in range(1, 13):
        with open(frame("path", number), "rb") as first, open(frame("again", number), "rb") as second:
            check(first.read() == second.read(), "frame %d differs between two recordings" % number)

    record("first", "--view", "a", "--frames", "1", "--fps", "10")
    with open(frame("path", 1), "rb") as path_frame, open(frame("first", 1), "rb") as view_frame:
        check(path_frame.read() == view_frame.read(), "the path's first frame is not view a")
    check(difference(xdrive.gray_pixels(frame("path", 1), 320, 240),
                     xdrive.gray_pixels(frame("path", 12), 320, 240)) > 5, "the path went nowhere")

    _, refused = record("path", *path, code=1)
    check("frame_000001.png exists" in refused, "no refusal: %s" % refused)
    _, refused = record("unkept", "--view", "d", "--frames", "1", code=1)
    check("No view is kept as 'd'" in refused and not os.path.exists(os.path.join(args.folder, "unkept")),
          "a film of an unkept view: %s" % refused)


def film_on_a_renderer_without_compute(args, display):
    """On OpenGL before 4.3 the catalogue's dots cannot be drawn: a film with a catalogue says so and ends,
    where it used to wait for the dots for ever."""
    with open(os.path.join(args.folder, "belt.json"), "w") as stream:
        stream.write('{"fields": ["full_name", "epoch_mjd", "e", "a", "i", "om", "w", "ma"], '
                     '"data": [["1 Ceres", "59800", "0.0786", "2.7666", "10.59", "80.27", "73.53", "334.33"]]}')
    film = xdrive.Viewer(display, args.folder, extra_env={"MESA_GL_VERSION_OVERRIDE": "3.3COMPAT"},
                         arguments=["--record", "film", "--size", "160x120", "--frames", "2", "--catalogue", "belt.json"])
    check(film.wait(120) == 0, "the film failed: %s" % film.stderr_text())
    check("catalogue dots cannot be drawn: OpenGL 4.3 is needed" in film.log_text(), "no word of the dots in the log")


SCENARIOS = [window_film, film_along_a_path, film_on_a_renderer_without_compute]
WINDOW_MANAGER = set()
NO_DISPLAY = set()
