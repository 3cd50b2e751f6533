"""The desktop services around the game, each private to one scenario: a
Wayland compositor (weston's X11 backend inside Xvfb) and a PulseAudio
server with a null sink that parec records from.

A scenario that needs a program this machine lacks ends with SKIPPED (CTest's
SKIP_RETURN_CODE) and says which program and package are missing."""

import array
import math
import os
import shutil
import signal
import subprocess
import tempfile
import time

from harness import EXIT_TIMEOUT, SERVER_TIMEOUT, ScenarioFailed, XSession, wait_for

SKIPPED = 77  # SKIP_RETURN_CODE of the scenarios in CMakeLists.txt

PACKAGES = {"weston": "weston", "pulseaudio": "pulseaudio", "parec": "pulseaudio-utils", "pactl": "pulseaudio-utils"}


def missing(programs):
    """The programs not on the PATH, with the Debian packages that hold them."""
    return ["%s (%s)" % (p, PACKAGES.get(p, p)) for p in programs if shutil.which(p) is None]


def private_folder(prefix):
    """A fresh folder only its owner may enter, as XDG_RUNTIME_DIR must be."""
    folder = tempfile.mkdtemp(prefix=prefix)
    os.chmod(folder, 0o700)
    return folder


def end(process):
    """Ends a server by its id, by force when it does not end in time."""
    if process.poll() is None:
        process.terminate()
        try:
            process.wait(timeout=EXIT_TIMEOUT)
        except subprocess.TimeoutExpired:
            process.kill()
            process.wait()


def error_lines(text):
    """Lines of a normal start that must not be there."""
    return [line for line in text.splitlines() if "error" in line.lower()]


# ------------------------------------------------------------------ Wayland

class WestonSession(XSession):
    """weston's X11 backend in a 1024x768 Xvfb with no window manager: its
    output window sits at (0, 0) and covers the screen, so screen grabs and
    xdotool on the X display reach the Wayland client at the same pixels, and
    keys go to the window under the pointer, once weston's pointer is lined up
    with the X pointer (see XSession.align_pointer), which the session does as
    it starts. (Its headless backend has no seat, and SDL 2.26 crashes in
    SDL_Init there.)"""

    SOCKET = "quillmara-e2e"

    def __init__(self, processes, scale=1):
        """At `scale` 2 the 1024x768-pixel output is 512x384 points."""
        super().__init__(processes, 1024, 768, window_manager=False)
        self.runtime = private_folder("quillmara-e2e-runtime-")
        self.weston = processes.start(
            ["weston", "--backend=x11-backend.so", "--socket=" + self.SOCKET, "--width=%d" % (1024 // scale),
             "--height=%d" % (768 // scale), "--scale=%d" % scale, "--use-pixman", "--idle-time=0"],
            env=dict(self.env, XDG_RUNTIME_DIR=self.runtime), stdout=subprocess.DEVNULL,
            stderr=subprocess.DEVNULL)
        wait_for(lambda: self.weston.poll() is not None or os.path.exists(os.path.join(self.runtime, self.SOCKET)),
                 SERVER_TIMEOUT, "weston's socket")
        if self.weston.poll() is not None:
            raise ScenarioFailed("weston ended at start with %s" % self.weston.returncode)
        # Without a window manager the output window is mapped at once. Only
        # motion over it reaches weston, so the pointer is lined up after.
        wait_for(self._output_shown, SERVER_TIMEOUT, "weston's output window")
        self.align_pointer()

    def _output_shown(self):
        out = self.run(["xwininfo", "-name", "Weston Compositor - screen0"], check=False)
        return "IsViewable" in out

    def game_env(self):
        """What the game gets: Wayland only, and no X display to fall back on.
        A Compose file of the tester's own could make xkbcommon complain."""
        return {"DISPLAY": None, "SDL_VIDEODRIVER": "wayland", "WAYLAND_DISPLAY": self.SOCKET,
                "XDG_RUNTIME_DIR": self.runtime, "XCOMPOSEFILE": None}

    def close(self):
        # weston removes its socket and lock as it ends; only then can the folder go.
        end(self.weston)
        super().close()
        shutil.rmtree(self.runtime, ignore_errors=True)


# ------------------------------------------------------------------ sound

RATE = 44100


class SoundServer:
    """A private PulseAudio with one null sink, in its own runtime folder and
    home; the game finds it through the same two variables."""

    SINK = "quillmara_out"

    def __init__(self, processes):
        self.processes = processes
        self.home = private_folder("quillmara-e2e-pulse-")
        self.env = dict(os.environ, XDG_RUNTIME_DIR=self.home, HOME=self.home)
        self.server = None
        self.start()

    def start(self):
        self.server = self.processes.start(
            ["pulseaudio", "-n", "--daemonize=no", "--exit-idle-time=-1", "--disable-shm=yes",
             "--load=module-null-sink sink_name=%s" % self.SINK, "--load=module-native-protocol-unix",
             "--load=module-always-sink"],
            env=self.env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        wait_for(lambda: self.server.poll() is not None or self._answers(), SERVER_TIMEOUT, "PulseAudio to answer")
        if self.server.poll() is not None:
            raise ScenarioFailed("pulseaudio ended at start with %s" % self.server.returncode)
        self.start_recording()

    def _answers(self):
        return subprocess.run(["pactl", "info"], env=self.env, stdout=subprocess.DEVNULL,
                              stderr=subprocess.DEVNULL).returncode == 0

    def kill(self):
        """The server dies under its clients, as in a crash."""
        self.server.send_signal(signal.SIGKILL)
        self.server.wait()

    def game_env(self):
        return {"XDG_RUNTIME_DIR": self.home, "HOME": self.home, "SDL_AUDIODRIVER": None}

    def start_recording(self):
        """parec records the sink from now on into a file, 16-bit stereo at
        44.1 kHz; it ends with the server. It starts once: connecting takes
        a good part of a second."""
        self.recording = os.path.join(self.home, "sink.raw")
        output = open(self.recording, "wb")
        self.recorder = self.processes.start(
            ["parec", "-d", self.SINK + ".monitor", "--format=s16le", "--rate=%d" % RATE, "--channels=2", "--raw",
             "--latency-msec=20"],
            env=self.env, stdout=output, stderr=subprocess.DEVNULL)
        output.close()
        wait_for(lambda: os.path.getsize(self.recording) > 0, SERVER_TIMEOUT, "parec to record")

    def record(self, seconds, during=None):
        """What the sink plays over the next `seconds`, with `during` called
        first: (left, right) samples."""
        mark = os.path.getsize(self.recording)
        if during:
            during()
        time.sleep(seconds)
        with open(self.recording, "rb") as f:
            f.seek(mark - mark % 4)
            data = f.read()
        samples = array.array("h")
        samples.frombytes(data[:len(data) // 4 * 4])
        return samples[0::2], samples[1::2]

    def wait_silent(self, seconds=0.1):
        """Waits until the last `seconds` recorded are silent: what sounded
        before has died away."""
        size = 4 * int(RATE * seconds)

        def silent():
            end_at = os.path.getsize(self.recording) // 4 * 4
            if end_at < size:
                return False
            with open(self.recording, "rb") as f:
                f.seek(end_at - size)
                samples = array.array("h")
                samples.frombytes(f.read(size))
            return max(map(abs, samples)) < 16
        wait_for(silent, SERVER_TIMEOUT, "the sink to fall silent")

    def close(self):
        # The server writes into its home as it ends; only then can it go.
        for process in (self.recorder, self.server):
            end(process)
        shutil.rmtree(self.home, ignore_errors=True)


def peak_dbfs(left, right):
    peak = max((abs(v) for v in list(left) + list(right)), default=0)
    return 20 * math.log10(max(peak, 1) / 32768)


def rms(samples):
    return math.sqrt(sum(v * v for v in samples) / max(len(samples), 1))
