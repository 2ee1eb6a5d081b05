"""Driving the real viewer in Xvfb; every wait is for an event with a deadline, as a frame may take a second."""

import os
import re
import shutil
import subprocess
import tempfile
import time

DIALOG_TITLE = "Rendering Settings"
WINDOW_TITLE = "OGRE Render Window"
ACCEPT = "Accept"
CANCEL = "Cancel"


class Timeout(AssertionError):
    pass


def wait_until(condition, timeout, what, interval=0.05):
    """The first true value of condition(), polled until the deadline; raises Timeout after it."""
    deadline = time.time() + timeout
    while True:
        value = condition()
        if value:
            return value
        if time.time() > deadline:
            raise Timeout("waited %.0f s for %s" % (timeout, what))
        time.sleep(interval)


class VirtualDisplay:
    """An Xvfb server of its own, optionally with a window manager."""

    def __init__(self, width=1024, height=768, window_manager=False, resets=False, dpi=None):
        self.resets = resets
        self.dpi = dpi
        self.manager = None
        self.server = None
        # A number no other display holds: a program never reaches a server another test is shutting down.
        first = 100 + (os.getpid() * 7) % 800
        for number in list(range(first, 1000)) + list(range(100, first)):
            if os.path.exists(self._socket(number)) or os.path.exists("/tmp/.X%d-lock" % number):
                continue
            if self._start(number, width, height):
                break
        else:
            raise RuntimeError("no free X display number")
        self.env = dict(os.environ, DISPLAY=":%d" % self.number)
        if window_manager:
            self.manager = subprocess.Popen(["openbox"], env=self.env,
                                            stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
            # Managed once it has taken the root window's substructure.
            wait_until(lambda: "_NET_SUPPORTING_WM_CHECK" in self.run("xprop", "-root", check=False),
                       15, "the window manager")

    @staticmethod
    def _socket(number):
        return "/tmp/.X11-unix/X%d" % number

    def _start(self, number, width, height):
        # The server writes its number to the pipe once it accepts connections.
        reader, writer = os.pipe()
        server = subprocess.Popen(
            # Unless `resets`, it does not reset (refusing connections meanwhile) when its last client leaves.
            ["Xvfb", ":%d" % number, "-displayfd", str(writer), "-screen", "0", "%dx%dx24" % (width, height),
             "-nolisten", "tcp"] + ([] if self.resets else ["-noreset"]) +
            (["-dpi", str(self.dpi)] if self.dpi else []),
            pass_fds=(writer,), stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        os.close(writer)
        with os.fdopen(reader) as stream:
            ready = stream.readline().strip()
        if ready != str(number):
            server.kill()
            server.wait()
            return False
        self.server = server
        self.number = number
        return True

    def run(self, *command, check=True):
        return subprocess.run(list(command), env=self.env, check=check,
                              stdout=subprocess.PIPE, stderr=subprocess.PIPE, text=True).stdout

    def find_window(self, title, timeout=30.0):
        """Id of the first window with this exact title, or None after the timeout."""
        try:
            return wait_until(lambda: self.run("xdotool", "search", "--name", "^%s$" % title,
                                               check=False).split()[:1], timeout, title)[0]
        except Timeout:
            return None

    def window_exists(self, window):
        return subprocess.run(["xwininfo", "-id", window], env=self.env, stdout=subprocess.DEVNULL,
                              stderr=subprocess.DEVNULL).returncode == 0

    def dialog_button(self, dialog, name):
        """The button's window: the dialog's one widget of exactly two children holds Cancel, then Accept."""
        tree = self.run("xwininfo", "-tree", "-id", dialog, check=False).splitlines()
        for i, line in enumerate(tree):
            if line.strip() == "2 children:" and i + 2 < len(tree):
                buttons = []
                for child in tree[i + 1:i + 3]:
                    match = re.search(r"(0x[0-9a-f]+).*\+(-?\d+)\+(-?\d+)\s*$", child)
                    if match:
                        buttons.append((int(match.group(2)), match.group(1)))
                if len(buttons) == 2:
                    buttons.sort()
                    return buttons[0][1] if name == CANCEL else buttons[1][1]
        return None

    def press_dialog_button(self, dialog, name, timeout=30.0):
        """Clicks the button until the dialog goes (a click on a widget not yet ready is lost); returns its time."""
        deadline = time.time() + timeout
        clicked = time.time()
        while self.window_exists(dialog):
            if time.time() > deadline:
                raise Timeout("the dialog did not take %s" % name)
            button = self.dialog_button(dialog, name)
            if not button:
                time.sleep(0.1)
                continue
            # One command: no click at all if the button has gone meanwhile.
            clicked = time.time()
            self.run("xdotool", "mousemove", "--window", button, "20", "10", "click", "1", check=False)
            try:
                wait_until(lambda: not self.window_exists(dialog), 10.0, "the dialog to go")
            except Timeout:
                pass
        return clicked

    def key(self, *keys):
        self.run("xdotool", "key", *keys)

    def type_text(self, text):
        self.run("xdotool", "type", "--delay", "30", text)

    def close_window(self, title):
        """Asks the window manager to close the window, as its close button does."""
        self.run("wmctrl", "-c", title)

    def grab(self, path, window="root"):
        self.run("import", "-window", window, path)
        return path

    def stop(self):
        for process in (self.manager, self.server):
            if process and process.poll() is None:
                process.terminate()
                try:
                    process.wait(20)
                except subprocess.TimeoutExpired:
                    process.kill()
                    process.wait()
        if self.server:
            # A socket left behind by a killed server would send the next
            # server's clients into nowhere.
            for path in (self._socket(self.number), "/tmp/.X%d-lock" % self.number):
                try:
                    os.remove(path)
                except FileNotFoundError:
                    pass


def make_working_folder(run_dir, parent=None):
    """A fresh copy of the ready-to-run folder, so a run never touches another's files."""
    folder = tempfile.mkdtemp(prefix="orvtest-", dir=parent)
    for entry in os.listdir(run_dir):
        source = os.path.join(run_dir, entry)
        if entry == "Ogre.log" or entry.startswith("screenshot_"):
            continue
        target = os.path.join(folder, entry)
        if os.path.isdir(source):
            shutil.copytree(source, target)
        else:
            shutil.copy2(source, target)
    return folder


class Viewer:
    """One run of the viewer in a working folder; Mesa's frame-rate counter in `hud` tells of frames drawn."""

    HUD_PERIOD = 0.05

    def __init__(self, display, folder, program="./orvtest", as_nobody=False, extra_env=None, arguments=()):
        self.display = display
        self.folder = folder
        self.stdout = open(os.path.join(folder, "stdout.txt"), "w")
        self.stderr_path = os.path.join(folder, "stderr.txt")
        self.stderr = open(self.stderr_path, "w")
        # Outside the working folder, which may be read-only.
        self.hud = tempfile.mkdtemp(prefix="orvtest-hud-")
        os.chmod(self.hud, 0o777)
        env = dict(display.env) if display else {k: v for k, v in os.environ.items() if k != "DISPLAY"}
        if display:
            env.update(hud_environment(display, self.hud, self.HUD_PERIOD))
        env.update(extra_env or {})
        # A sanitizer build keeps the engine's plug-ins and the GL driver loaded
        # to the end, so that what they leak can be told from what we leak.
        if os.environ.get("ORVTEST_VIEWER_PRELOAD"):
            env["LD_PRELOAD"] = os.environ["ORVTEST_VIEWER_PRELOAD"]
        command = [program, *arguments]
        if as_nobody:
            # Permissions mean nothing to root: run as an ordinary user.
            command = ["setpriv", "--reuid=65534", "--regid=65534", "--clear-groups"] + command
        self.process = subprocess.Popen(command, cwd=folder, env=env,
                                        stdout=self.stdout, stderr=self.stderr)
        self.window = None

    def accept_dialog(self, button=ACCEPT, timeout=30.0):
        dialog = self.display.find_window(DIALOG_TITLE, timeout)
        if dialog is None:
            raise Timeout("the configuration dialog did not appear; stderr: %s" % self.stderr_text())
        self.display.press_dialog_button(dialog, button)

    def wait_for_window(self, timeout=30.0):
        self.window = self.display.find_window(WINDOW_TITLE, timeout)
        return self.window

    def frames(self):
        """Frames drawn so far, as Mesa's counter has reported them."""
        return int(round(sum(hud_samples(self.hud)) * self.HUD_PERIOD))

    def wait_frames(self, count, timeout=60.0):
        """Waits until `count` more frames have been drawn."""
        target = self.frames() + count
        wait_until(lambda: self.frames() >= target or self.process.poll() is not None, timeout,
                   "%d frames" % count)
        if self.process.poll() is not None:
            raise AssertionError("the viewer ended (exit %r); stderr: %s" % (self.process.poll(), self.stderr_text()))

    def start(self, frames=10):
        """Accepts the dialog and waits for the window and its first frames."""
        self.accept_dialog()
        if self.wait_for_window() is None:
            raise Timeout("the render window did not appear; stderr: %s" % self.stderr_text())
        self.wait_frames(frames)

    def hold_key(self, key, frames=3):
        """Holds a key down across a few drawn frames, as a person's press lasts."""
        self.display.run("xdotool", "keydown", key)
        try:
            self.wait_frames(frames)
        finally:
            self.display.run("xdotool", "keyup", key)

    def wait_action_delay(self):
        """Waits past the 0.2 s of drawing by which a jump, screenshot, R or F holds off the next (Mesa's samples)."""
        target = len(hud_samples(self.hud)) + int(0.25 / self.HUD_PERIOD)
        wait_until(lambda: len(hud_samples(self.hud)) >= target, 60, "the action delay")

    def wait_for_file(self, name, timeout=30.0):
        path = self.file(name)
        wait_until(lambda: os.path.exists(path) and os.path.getsize(path) > 0, timeout, name)
        return path

    def wait_for_log(self, text, timeout=30.0, after=0):
        """Waits until the log holds `text` after its first `after` characters; returns where it ends."""
        def found():
            at = self.log_text().find(text, after)
            return at + len(text) if at >= 0 else None
        return wait_until(found, timeout, "%r in the log" % text)

    def picture(self, name, crop=None, size=None):
        """The render window's picture, as grey rows (scaled to `size`, or of `crop`)."""
        path = self.display.grab(self.file(name), self.window)
        if crop:
            return gray_pixels(path, crop[0], crop[1], crop)
        return gray_pixels(path, *(size or (800, 600)))

    def wait(self, timeout=30.0):
        """The exit code; raises if the program does not end in time."""
        try:
            return self.process.wait(timeout)
        finally:
            self.stdout.close()
            self.stderr.close()
            if self.process.poll() is not None:
                shutil.rmtree(self.hud, ignore_errors=True)

    def stderr_text(self):
        if not self.stderr.closed:
            self.stderr.flush()
        with open(self.stderr_path) as stream:
            return stream.read()

    def log_text(self):
        path = os.path.join(self.folder, "Ogre.log")
        if not os.path.exists(path):
            return ""
        with open(path, errors="replace") as stream:
            return stream.read()

    def file(self, name):
        return os.path.join(self.folder, name)


def gray_pixels(path, width, height, crop=None):
    """The picture as rows of 8-bit grey values, scaled to width × height."""
    command = ["convert", path]
    if crop:
        command += ["-crop", "%dx%d+%d+%d" % crop, "+repage"]
    command += ["-resize", "%dx%d!" % (width, height), "-colorspace", "Gray", "-depth", "8", "gray:-"]
    data = subprocess.run(command, check=True, stdout=subprocess.PIPE).stdout
    return [list(data[row * width:(row + 1) * width]) for row in range(height)]


def mean(rows):
    values = [v for row in rows for v in row]
    return sum(values) / float(len(values))


def bright_count(rows, threshold=60):
    return sum(1 for row in rows for v in row if v > threshold)


def hud_environment(display, folder, period=0.1):
    """Mesa's frame-rate counter, written to folder/fps every period seconds."""
    os.makedirs(folder, exist_ok=True)
    return dict(display.env, GALLIUM_HUD="fps", GALLIUM_HUD_DUMP_DIR=folder, GALLIUM_HUD_VISIBLE="false",
                GALLIUM_HUD_PERIOD=str(period))


def hud_samples(folder):
    path = os.path.join(folder, "fps")
    if not os.path.exists(path):
        return []
    with open(path) as stream:
        values = []
        for line in stream:
            try:
                values.append(float(line))
            except ValueError:
                pass   # a line still being written
        return values
