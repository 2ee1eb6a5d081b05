"""Driving the real viewer in a virtual X display, as a person would.

Used by the end-to-end tests and by scripts/run on a machine without a
display. Needs Xvfb, xdotool, wmctrl, openbox and ImageMagick.
"""

import os
import shutil
import signal
import subprocess
import tempfile
import time

DIALOG_TITLE = "Rendering Settings"
WINDOW_TITLE = "OGRE Render Window"
ACCEPT = (446, 354)
CANCEL = (376, 354)


class VirtualDisplay:
    """An Xvfb server on a free display number, optionally with a window manager."""

    def __init__(self, width=1024, height=768, window_manager=False):
        self.manager = None
        # Xvfb picks a free display itself and names it once it accepts
        # connections: no race with a server that is still shutting down.
        reader, writer = os.pipe()
        self.server = subprocess.Popen(
            ["Xvfb", "-displayfd", str(writer), "-screen", "0", "%dx%dx24" % (width, height), "-nolisten", "tcp"],
            pass_fds=(writer,), stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        os.close(writer)
        with os.fdopen(reader) as stream:
            number = stream.readline().strip()
        if not number.isdigit():
            self.server.kill()
            raise RuntimeError("Xvfb did not start")
        self.number = int(number)
        self.env = dict(os.environ, DISPLAY=":%d" % self.number)
        if window_manager:
            self.manager = subprocess.Popen(["openbox"], env=self.env,
                                            stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
            time.sleep(0.5)

    def run(self, *command, check=True):
        return subprocess.run(list(command), env=self.env, check=check,
                              stdout=subprocess.PIPE, stderr=subprocess.PIPE, text=True).stdout

    def find_window(self, title, timeout=30.0):
        """Id of the first window with this exact title, or None after the timeout."""
        deadline = time.time() + timeout
        while time.time() < deadline:
            found = self.run("xdotool", "search", "--name", "^%s$" % title, check=False).split()
            if found:
                return found[0]
            time.sleep(0.1)
        return None

    def click_in(self, window, x, y, button=1):
        self.run("xdotool", "mousemove", "--window", window, str(x), str(y))
        self.run("xdotool", "mousedown", str(button))
        time.sleep(0.08)
        self.run("xdotool", "mouseup", str(button))

    def hold_key(self, key, seconds=0.1):
        """Holds a key across several frames of the polled input."""
        self.run("xdotool", "keydown", key)
        time.sleep(seconds)
        self.run("xdotool", "keyup", key)

    def press_button(self, button, seconds=0.1):
        self.run("xdotool", "mousedown", str(button))
        time.sleep(seconds)
        self.run("xdotool", "mouseup", str(button))

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
                    process.wait(5)
                except subprocess.TimeoutExpired:
                    process.kill()


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
    """One run of the viewer in a working folder on a virtual display."""

    def __init__(self, display, folder, program="./orvtest", as_nobody=False, extra_env=None):
        self.display = display
        self.folder = folder
        self.stdout = open(os.path.join(folder, "stdout.txt"), "w")
        self.stderr_path = os.path.join(folder, "stderr.txt")
        self.stderr = open(self.stderr_path, "w")
        env = dict(display.env) if display else {k: v for k, v in os.environ.items() if k != "DISPLAY"}
        # A sanitizer build keeps the engine's plug-ins and the GL driver loaded
        # to the end, so that what they leak can be told from what we leak.
        env.update(extra_env or {})
        if os.environ.get("ORVTEST_VIEWER_PRELOAD"):
            env["LD_PRELOAD"] = os.environ["ORVTEST_VIEWER_PRELOAD"]
        command = [program]
        if as_nobody:
            # Permissions mean nothing to root: run as an ordinary user.
            command = ["setpriv", "--reuid=65534", "--regid=65534", "--clear-groups"] + command
        self.process = subprocess.Popen(command, cwd=folder, env=env,
                                        stdout=self.stdout, stderr=self.stderr)
        self.window = None

    def accept_dialog(self, button=ACCEPT):
        dialog = self.display.find_window(DIALOG_TITLE)
        if dialog is None:
            raise AssertionError("the configuration dialog did not appear")
        time.sleep(0.3)
        self.display.click_in(dialog, *button)

    def wait_for_window(self, timeout=30.0):
        self.window = self.display.find_window(WINDOW_TITLE, timeout)
        return self.window

    def wait_for_frames(self, seconds=3.0):
        """Gives the scene time to build and render its first frames."""
        if self.window is None and self.wait_for_window() is None:
            raise AssertionError("the render window did not appear")
        time.sleep(seconds)

    def start(self, settle=3.0):
        self.accept_dialog()
        self.wait_for_frames(settle)

    def wait(self, timeout=30.0):
        """The exit code; raises if the program does not end in time."""
        try:
            return self.process.wait(timeout)
        finally:
            self.stdout.close()
            self.stderr.close()

    def kill(self):
        if self.process.poll() is None:
            self.process.send_signal(signal.SIGKILL)
            self.process.wait()

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


# ---------------------------------------------------------------- measuring a running program

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
        return [float(line) for line in stream if line.strip()]


def memory_kib(pid, field="VmRSS"):
    """A memory figure of a running process, in KiB (VmRSS now, VmHWM the peak)."""
    try:
        with open("/proc/%d/status" % pid) as stream:
            for line in stream:
                if line.startswith(field + ":"):
                    return int(line.split()[1])
    except OSError:
        pass
    return 0


def soak(process, hud_folder, frames, period=0.1, warmup=0.1):
    """Runs until about `frames` frames have been drawn, sampling resident memory.

    Returns (frames drawn, RSS after the warm-up share of frames, RSS at the end,
    peak RSS), memory in KiB."""
    pid = process.pid
    settled = None
    while True:
        drawn = sum(hud_samples(hud_folder)) * period
        if settled is None and drawn >= warmup * frames:
            settled = memory_kib(pid)
        if drawn >= frames or process.poll() is not None:
            break
        time.sleep(0.5)
    return drawn, settled or 0, memory_kib(pid), memory_kib(pid, "VmHWM")
