"""Drives the real game in a real X server, as a player would.

One X session (Xvfb with openbox) per scenario; the game runs from a fresh
copy of its data folder; input goes through xdotool; pictures come from the
game's own F9 screenshots and from `import -window root`. Every process the
harness starts is ended by its id, also when a scenario fails.

Only the standard library is used: pictures are read as 24-bit BMP files.
"""

import argparse
import os
import shutil
import signal
import struct
import subprocess
import tempfile
import time

PICTURE_W, PICTURE_H = 800, 600
GREEN = (0, 255, 0)
TOLERANCE = 8  # one 16-bit step of a 5-bit channel, widened to 8 bits

# How long to wait for something that normally takes a fraction of a second.
# Generous for a two-core machine busy with a parallel build; a passing run
# waits only as long as the thing takes.
SERVER_TIMEOUT = 30  # a server or window manager to answer
WINDOW_TIMEOUT = 30  # a window (the game's, a message box) to appear
SHOW_TIMEOUT = 15    # the screen (or a file) to change after an input
EXIT_TIMEOUT = 20    # a process to end


class ScenarioFailed(AssertionError):
    pass


def check(condition, message):
    if not condition:
        raise ScenarioFailed(message)


def scenario_arguments(scenarios, *required, optional=()):
    """The command line of a scenario script: --scenario NAME and the options
    it names, each taking a value."""
    parser = argparse.ArgumentParser()
    parser.add_argument("--scenario", required=True, choices=sorted(scenarios))
    for name in required:
        parser.add_argument("--" + name, required=True)
    for name in optional:
        parser.add_argument("--" + name)
    return parser.parse_args()


def run_scenario(name, body, on_failure=None, cleanup=None):
    """Runs `body`, which raises ScenarioFailed when a check fails, prints the
    outcome with its time and returns the exit code for CTest. `on_failure`
    adds what helps to read a failure; `cleanup` runs whatever happened."""
    started = time.monotonic()
    try:
        body()
        print("scenario %s passed in %.1f s" % (name, time.monotonic() - started))
        return 0
    except ScenarioFailed as failure:
        print("scenario %s FAILED: %s" % (name, failure))
        if on_failure:
            on_failure()
        return 1
    finally:
        if cleanup:
            cleanup()


def wait_for(predicate, timeout, what, interval=0.05):
    deadline = time.monotonic() + timeout
    while True:
        value = predicate()
        if value:
            return value
        if time.monotonic() > deadline:
            raise ScenarioFailed("timed out after %.1f s waiting for %s" % (timeout, what))
        time.sleep(interval)


# ------------------------------------------------------------------ pictures

class Picture:
    """A 24-bit picture: width, height and rows of (r, g, b) bytes, top row first."""

    def __init__(self, width, height, rows):
        self.width, self.height, self.rows = width, height, rows

    def get(self, x, y):
        row = self.rows[y]
        return row[3 * x], row[3 * x + 1], row[3 * x + 2]

    @staticmethod
    def load_bmp(path):
        with open(path, "rb") as f:
            data = f.read()
        if data[:2] != b"BM":
            raise ValueError("%s is no BMP file" % path)
        offset = struct.unpack_from("<I", data, 10)[0]
        width, height = struct.unpack_from("<ii", data, 18)
        bits = struct.unpack_from("<H", data, 28)[0]
        if bits not in (24, 32):
            raise ValueError("%s has %d bits per pixel" % (path, bits))
        step = bits // 8
        pitch = (width * step + 3) & ~3
        top_down = height < 0
        height = abs(height)
        rows = []
        for y in range(height):
            src = y if top_down else height - 1 - y
            start = offset + src * pitch
            raw = data[start:start + width * step]
            row = bytearray(width * 3)
            row[0::3] = raw[2::step]
            row[1::3] = raw[1::step]
            row[2::3] = raw[0::step]
            rows.append(bytes(row))
        return Picture(width, height, rows)


def widen565(rgb):
    """The colour an image pixel has on screen: cut to RGB565, widened back."""
    r, g, b = rgb[0] >> 3, rgb[1] >> 2, rgb[2] >> 3
    return (r << 3 | r >> 2, g << 2 | g >> 4, b << 3 | b >> 2)


def close(a, b, tolerance=TOLERANCE):
    return all(abs(x - y) <= tolerance for x, y in zip(a, b))


class ScreenMap:
    """How the 800x600 picture lies on a screen: scaled to fit, centred."""

    def __init__(self, screen_w, screen_h):
        self.screen_w, self.screen_h = screen_w, screen_h
        self.scale = min(screen_w / PICTURE_W, screen_h / PICTURE_H)
        self.out_w = int(PICTURE_W * self.scale)
        self.out_h = int(PICTURE_H * self.scale)
        self.off_x = (screen_w - self.out_w) // 2
        self.off_y = (screen_h - self.out_h) // 2

    def to_screen(self, x, y):
        """The screen pixel at the centre of picture pixel (x, y)."""
        return (self.off_x + int((x + 0.5) * self.scale), self.off_y + int((y + 0.5) * self.scale))


def picture_pixel(screen, screen_map, x, y):
    sx, sy = screen_map.to_screen(x, y)
    return screen.get(sx, sy)


def image_match(screen, screen_map, image, x, y, src=None, skip=None):
    """Fraction of the image's visible (non-green) pixels found on screen at (x, y).

    `src` is (left, top, right, bottom) of the image; `skip` a picture-pixel
    rectangle left out of the comparison (where the pointer is drawn)."""
    left, top, right, bottom = src or (0, 0, image.width, image.height)
    # Large images are sampled on a grid: enough to tell which picture is shown.
    step = max(1, int(((right - left) * (bottom - top) / 20000) ** 0.5))
    total = matched = 0
    for iy in range(top, bottom, step):
        py = y + iy - top
        if not 0 <= py < PICTURE_H:
            continue
        for ix in range(left, right, step):
            px = x + ix - left
            if not 0 <= px < PICTURE_W:
                continue
            if skip and skip[0] <= px < skip[2] and skip[1] <= py < skip[3]:
                continue
            colour = image.get(ix, iy)
            if colour == GREEN:
                continue
            total += 1
            if close(widen565(colour), picture_pixel(screen, screen_map, px, py)):
                matched += 1
    return matched / total if total else 1.0


def read_time(screen, screen_map, digits, x, y):
    """Reads a clock drawn at (x, y) as 'hh-mm-ss' by matching the ten glyphs."""
    text = ""
    for i, dx in enumerate((0, 18, 45, 63, 90, 108)):
        scores = [image_match(screen, screen_map, digits, x + dx, y, (15 * d, 0, 15 * d + 15, 27)) for d in range(10)]
        best = max(range(10), key=lambda d: scores[d])
        text += str(best) if scores[best] > 0.9 else "?"
        if i in (1, 3):
            text += "-"
    return text


def format_time(seconds):
    seconds = max(seconds, 0)
    return "%02d-%02d-%02d" % (min(seconds // 3600, 99), seconds // 60 % 60, seconds % 60)


# ------------------------------------------------------------------ processes

class Processes:
    """Every process the harness starts, ended by its id at the end."""

    def __init__(self):
        self.started = []

    def start(self, args, **kwargs):
        process = subprocess.Popen(args, **kwargs)
        self.started.append(process)
        return process

    def end_all(self):
        for process in reversed(self.started):
            if process.poll() is None:
                try:
                    process.send_signal(signal.SIGTERM)
                    process.wait(timeout=5)
                except subprocess.TimeoutExpired:
                    process.kill()
                    process.wait()
        self.started.clear()


class XSession:
    """Xvfb at the given size (with `xvfb_args` added), with openbox as window manager unless told not to."""

    def __init__(self, processes, width, height, window_manager=True, xvfb_args=()):
        self.width, self.height = width, height
        read_end, write_end = os.pipe()
        self.xvfb = processes.start(
            # -noreset: by default the server resets as its last client leaves,
            # and a client connecting meanwhile (openbox, the game, right after
            # a short-lived xprop or xdotool) fails to open the display.
            ["Xvfb", "-displayfd", str(write_end), "-screen", "0", "%dx%dx24" % (width, height), "-nolisten", "tcp",
             "-noreset", *xvfb_args],
            pass_fds=(write_end,), stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        os.close(write_end)
        with os.fdopen(read_end) as pipe:
            number = pipe.readline().strip()
        if not number:
            raise ScenarioFailed("Xvfb did not start")
        self.display = ":" + number
        self.env = dict(os.environ, DISPLAY=self.display)
        self.env.pop("SDL_VIDEODRIVER", None)
        wait_for(lambda: "_NET_SUPPORTING_WM_CHECK" in self._wm_check(), SERVER_TIMEOUT, "Xvfb to answer")
        if window_manager:
            self.wm = processes.start(["openbox", "--sm-disable"], env=self.env,
                                      stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
            wait_for(lambda: "window id" in self._wm_check(), SERVER_TIMEOUT, "openbox")
        self.map = ScreenMap(width, height)
        self.pointer = (0, 0)
        self.shot_dir = tempfile.mkdtemp(prefix="quillmara-e2e-shots-")

    def _wm_check(self):
        """The root's window manager property as xprop prints it; empty while no server answers."""
        return self.run(["xprop", "-root", "_NET_SUPPORTING_WM_CHECK"], check=False)

    def run(self, args, check=True):
        result = subprocess.run(args, env=self.env, stdout=subprocess.PIPE, stderr=subprocess.PIPE, text=True,
                                timeout=30)
        if check and result.returncode != 0:
            raise ScenarioFailed("%s failed: %s" % (" ".join(args), result.stderr.strip()))
        return result.stdout

    def screenshot(self):
        path = os.path.join(self.shot_dir, "screen.bmp")
        self.run(["import", "-window", "root", "BMP3:" + path])
        return Picture.load_bmp(path)

    def move(self, x, y):
        """Moves the pointer to picture pixel (x, y)."""
        sx, sy = self.map.to_screen(x, y)
        self.run(["xdotool", "mousemove", str(sx), str(sy)])
        self.pointer = (x, y)

    def pointer_area(self):
        """Where the game's own pointer may be drawn: at the cursor on the menus,
        2 left and 10 above it in play."""
        x, y = self.pointer
        return (x - 2, y - 10, x + 38, y + 27)

    def align_pointer(self):
        """Moves the pointer to the far corner and back to (0, 0). weston's
        X11 backend moves its own pointer by the X pointer's relative motion,
        clamped to its output, so the two drift apart once the X pointer has
        touched an edge or moved before weston's window took it; clamped at
        both corners they agree again."""
        for x, y in ((self.width - 1, self.height - 1), (0, 0)):
            self.run(["xdotool", "mousemove", str(x), str(y)])

    def key(self, name, hold=0.1):
        """A key as a player presses it: down, a short pause, up."""
        self.run(["xdotool", "keydown", name])
        time.sleep(hold)
        self.run(["xdotool", "keyup", name])

    def window_titled(self, title):
        out = self.run(["xdotool", "search", "--onlyvisible", "--name", "^%s$" % title], check=False)
        ids = out.split()
        return ids[0] if ids else None

    def window_geometry(self, window):
        """(x, y, width, height) of a window on the screen."""
        out = self.run(["xdotool", "getwindowgeometry", "--shell", window])
        values = dict(line.split("=", 1) for line in out.split())
        return tuple(int(values[key]) for key in ("X", "Y", "WIDTH", "HEIGHT"))

    def close(self):
        shutil.rmtree(self.shot_dir, ignore_errors=True)


SCREENSHOT_BYTES = 1440054  # an 800x600 24-bit BMP
POINTER_W = 38  # one frame of Tex/MousePtr.Tex, a strip of frames side by side
PLAY_POINTER_SHIFT = (-2, -10)  # where play draws the pointer, from the point it sampled


def take_screenshot(session, folder, name):
    """Presses F9 and waits until `name` in `folder` is a whole screenshot; returns its path."""
    session.key("F9")
    path = os.path.join(folder, name)
    wait_for(lambda: os.path.isfile(path) and os.path.getsize(path) == SCREENSHOT_BYTES, SHOW_TIMEOUT,
             "%s of %d bytes in %s" % (name, SCREENSHOT_BYTES, folder))
    return path


class Game:
    """The built game running in a fresh copy of its data folder."""

    def __init__(self, processes, session, binary, data_dir, env=None, prepare=None):
        self.session = session
        self.folder = tempfile.mkdtemp(prefix="quillmara-e2e-play-")
        for entry in ("Tex", "Sound", "config0.bst"):
            source = os.path.join(data_dir, entry)
            if os.path.isdir(source):
                shutil.copytree(source, os.path.join(self.folder, entry))
            elif os.path.exists(source):
                shutil.copy(source, self.folder)
        if prepare:
            prepare(self.folder)
        self.stderr_path = os.path.join(self.folder, "stderr.txt")
        self.stderr_file = open(self.stderr_path, "w")
        game_env = dict(session.env, SDL_AUDIODRIVER="dummy")
        for name, value in (env or {}).items():
            if value is None:
                game_env.pop(name, None)  # as on a machine where it was never set
            else:
                game_env[name] = value
        self.process = processes.start([binary], cwd=self.folder, env=game_env,
                                       stdout=subprocess.DEVNULL, stderr=self.stderr_file)
        self.images = {}

    def running(self):
        """True while the game runs; a scenario fails at once when it ended."""
        if self.process.poll() is not None:
            raise ScenarioFailed("the game ended with %s: %r" % (self.process.returncode, self.stderr()))
        return True

    def wait_window(self, timeout=WINDOW_TIMEOUT):
        self.window = wait_for(lambda: self.running() and self.session.window_titled("Tavrin"), timeout,
                               "the game's window")
        return self.window

    def image(self, relative):
        if relative not in self.images:
            self.images[relative] = Picture.load_bmp(os.path.join(self.folder, relative))
        return self.images[relative]

    def shows(self, relative, x, y, src=None, threshold=0.97, screen=None):
        screen = screen or self.session.screenshot()
        return image_match(screen, self.session.map, self.image(relative), x, y, src,
                           skip=self.session.pointer_area()) >= threshold

    def wait_shows(self, relative, x, y, src=None, timeout=SHOW_TIMEOUT, what=None):
        wait_for(lambda: self.running() and self.shows(relative, x, y, src), timeout,
                 what or "%s at (%d, %d)" % (relative, x, y))

    def pointer_drawn(self, x, y, screen=None):
        """Whether one frame of the animated pointer is drawn with its top
        left at picture pixel (x, y)."""
        screen = screen or self.session.screenshot()
        strip = self.image("Tex/MousePtr.Tex")
        return any(image_match(screen, self.session.map, strip, x, y, (left, 0, left + POINTER_W, strip.height)) >= 0.9
                   for left in range(0, strip.width, POINTER_W))

    def point_at(self, x, y):
        """Moves the pointer to picture pixel (x, y) and waits until a frame
        sampled it: the game draws its own pointer there (shifted in play)."""
        self.session.move(x, y)
        places = ((x, y), (x + PLAY_POINTER_SHIFT[0], y + PLAY_POINTER_SHIFT[1]))

        def drawn():
            screen = self.running() and self.session.screenshot()
            return any(self.pointer_drawn(px, py, screen) for px, py in places)
        wait_for(drawn, SHOW_TIMEOUT, "the game's pointer drawn where the X pointer is, (%d, %d)" % (x, y))

    def click(self, x, y):
        """Points at picture pixel (x, y) and clicks there. The menus act on
        the pointer a frame sampled before the click, so the click waits for
        that frame. The game reads the pointer in the frame that takes the
        click, so before the next move, wait for what the click shows."""
        self.point_at(x, y)
        self.session.run(["xdotool", "click", "1"])

    def clock(self, x, y, screen=None):
        screen = screen or self.session.screenshot()
        return read_time(screen, self.session.map, self.image("Tex/Digit.Tex"), x, y)

    def stderr(self):
        self.stderr_file.flush()
        with open(self.stderr_path) as f:
            return f.read()

    def wait_exit(self, timeout=EXIT_TIMEOUT):
        try:
            return self.process.wait(timeout=timeout)
        except subprocess.TimeoutExpired:
            raise ScenarioFailed("the game did not end within %d s" % timeout)

    def close(self):
        self.stderr_file.close()
        shutil.rmtree(self.folder, ignore_errors=True)
