"""Plays the browser build in a real, headless Chromium, as a player would.

The site (build-web/site) is served over loopback by a server in this
process; Chromium is driven through chromium-driver with Selenium, and input
goes in through the DevTools protocol as real mouse and key events at exact
page coordinates. Pictures are the canvas's own pixels, which are the game's
picture 1:1. A `Page` offers what a `Game` of the X harness offers
(`shows`, `click`, `clock`, `session.screenshot`), so the player's moves of
the X scenarios run here unchanged.
"""

import base64
import functools
import http.server
import math
import os
import shutil
import sys
import tempfile
import threading
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "e2e"))
from harness import (PICTURE_H, PICTURE_W, POINTER_W, SHOW_TIMEOUT, Picture, ScenarioFailed, ScreenMap,  # noqa: E402
                     image_match, read_time, wait_for)

CHROMIUM = "/usr/bin/chromium"
CHROMEDRIVER = "/usr/bin/chromedriver"
PAGE_TIMEOUT = 60  # the page to load its data and start the game
PLAY_POINTER_SHIFT = (-2, -10)  # where play draws the pointer, from the point it sampled

KEYS = {"Escape": 27, "F9": 120}


def missing_programs(site):
    """What keeps the scenarios from running on this machine, or None."""
    missing = [p for p in (CHROMIUM, CHROMEDRIVER) if not os.access(p, os.X_OK)]
    try:
        import selenium  # noqa: F401
    except ImportError:
        missing.append("python3-selenium")
    if missing:
        return "missing " + ", ".join(missing)
    if not os.path.isfile(os.path.join(site, "index.html")):
        return "no site in %s (scripts/web.sh builds it; it needs emcc)" % site
    return None


def inside(start, scale, index):
    """A whole CSS pixel whose centre lies within picture pixel `index` along
    one axis: mouse events carry whole CSS pixels, so the centre of a scaled
    picture pixel may round into its neighbour."""
    first = math.ceil(start + index * scale - 0.5)
    return first if first + 0.5 < start + (index + 1) * scale else start + (index + 0.5) * scale


class QuietHandler(http.server.SimpleHTTPRequestHandler):
    extensions_map = dict(http.server.SimpleHTTPRequestHandler.extensions_map,
                          **{".wasm": "application/wasm", ".js": "text/javascript", ".data": "application/octet-stream"})

    def log_message(self, *args):
        pass


class Site:
    """A folder served on 127.0.0.1 at a free port, until closed."""

    def __init__(self, folder):
        handler = functools.partial(QuietHandler, directory=folder)
        self.server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), handler)
        self.url = "http://127.0.0.1:%d/" % self.server.server_port
        threading.Thread(target=self.server.serve_forever, daemon=True).start()

    def close(self):
        self.server.shutdown()
        self.server.server_close()


class Page:
    """The game's page in a fresh headless Chromium.

    `before_start` is JavaScript that runs in the page before its own
    scripts, through the DevTools protocol: how a test reaches in."""

    def __init__(self, site, data_dir, query="", before_start=None):
        from selenium import webdriver
        from selenium.webdriver.chrome.service import Service
        self.data_dir = data_dir
        self.profile = tempfile.mkdtemp(prefix="quillmara-web-profile-")
        self.downloads = tempfile.mkdtemp(prefix="quillmara-web-downloads-")
        options = webdriver.ChromeOptions()
        for argument in ("--headless=new", "--no-sandbox", "--window-size=1024,900", "--user-data-dir=" + self.profile):
            options.add_argument(argument)
        options.binary_location = CHROMIUM
        options.set_capability("goog:loggingPrefs", {"browser": "ALL"})
        self.driver = webdriver.Chrome(service=Service(CHROMEDRIVER), options=options)
        self.driver.execute_cdp_cmd("Browser.setDownloadBehavior",
                                    {"behavior": "allow", "downloadPath": self.downloads})
        # A page of 1000x750: the canvas scaled by 1.25 through CSS, a scale
        # at which every picture pixel holds a whole CSS pixel, where mouse
        # events fall.
        self.driver.execute_cdp_cmd("Emulation.setDeviceMetricsOverride",
                                    {"width": 1000, "height": 750, "deviceScaleFactor": 1, "mobile": False})
        if before_start:
            self.driver.execute_cdp_cmd("Page.addScriptToEvaluateOnNewDocument", {"source": before_start})
        self.driver.get(site.url + query)
        self.session = self  # the X harness's moves reach the screen through game.session
        self.map = ScreenMap(PICTURE_W, PICTURE_H)
        self.pointer = (0, 0)
        self.images = {}
        self.folder = data_dir

    # ---------------------------------------------------------------- state

    def state(self):
        return self.driver.execute_script("return document.body.dataset.state || ''")

    def wait_state(self, wanted, timeout=PAGE_TIMEOUT):
        wait_for(lambda: self.state() == wanted, timeout, "the page's state %r (it is %r)" % (wanted, self.state()))

    def text(self, element_id):
        return self.driver.execute_script(
            "const e = document.getElementById(arguments[0]); return e ? e.innerText : null", element_id)

    def visible(self, element_id):
        return self.driver.execute_script(
            "const e = document.getElementById(arguments[0]);"
            "return !!e && e.getClientRects().length > 0 && getComputedStyle(e).visibility !== 'hidden'", element_id)

    def running(self):
        """True while the game runs; a scenario fails at once when it ended."""
        state = self.state()
        if state in ("ended", "refused"):
            raise ScenarioFailed("the game ended (page state %r): %r" % (state, self.text("message-text")))
        return True

    # -------------------------------------------------------------- picture

    def screenshot(self):
        """The canvas's pixels as a 24-bit picture."""
        encoded = self.driver.execute_script("""
            const pixels = document.getElementById('screen').getContext('2d').getImageData(0, 0, 800, 600).data;
            let text = '';
            for (let i = 0; i < pixels.length; i += 0x8000)
                text += String.fromCharCode.apply(null, pixels.subarray(i, i + 0x8000));
            return btoa(text);""")
        rgba = base64.b64decode(encoded)
        rows = []
        for y in range(PICTURE_H):
            line = rgba[4 * PICTURE_W * y:4 * PICTURE_W * (y + 1)]
            row = bytearray(3 * PICTURE_W)
            row[0::3], row[1::3], row[2::3] = line[0::4], line[1::4], line[2::4]
            rows.append(bytes(row))
        return Picture(PICTURE_W, PICTURE_H, rows)

    def save_canvas(self):
        """Writes the canvas as a PPM file beside the downloads; returns its path."""
        path = tempfile.mkstemp(prefix="quillmara-web-canvas-", suffix=".ppm")[1]
        with open(path, "wb") as f:
            f.write(b"P6 %d %d 255\n" % (PICTURE_W, PICTURE_H) + b"".join(self.screenshot().rows))
        return path

    def image(self, relative):
        if relative not in self.images:
            self.images[relative] = Picture.load_bmp(os.path.join(self.data_dir, relative))
        return self.images[relative]

    def pointer_area(self):
        x, y = self.pointer
        return (x - 2, y - 10, x + 38, y + 27)

    def shows(self, relative, x, y, src=None, threshold=0.97, screen=None):
        screen = screen or self.screenshot()
        return image_match(screen, self.map, self.image(relative), x, y, src, skip=self.pointer_area()) >= threshold

    def wait_shows(self, relative, x, y, src=None, timeout=SHOW_TIMEOUT, what=None):
        wait_for(lambda: self.running() and self.shows(relative, x, y, src), timeout,
                 what or "%s at (%d, %d)" % (relative, x, y))

    def clock(self, x, y, screen=None):
        return read_time(screen or self.screenshot(), self.map, self.image("Tex/Digit.Tex"), x, y)

    # ---------------------------------------------------------------- input

    def page_point(self, x, y):
        """Where picture pixel (x, y) lies on the page, through the CSS scale."""
        left, top, width, height = self.driver.execute_script(
            "const r = document.getElementById('screen').getBoundingClientRect();"
            "return [r.left, r.top, r.width, r.height]")
        return inside(left, width / PICTURE_W, x), inside(top, height / PICTURE_H, y)

    def mouse(self, kind, x, y, **extra):
        px, py = self.page_point(x, y)
        self.driver.execute_cdp_cmd("Input.dispatchMouseEvent", dict(type=kind, x=px, y=py, **extra))

    def move(self, x, y):
        self.mouse("mouseMoved", x, y)
        self.pointer = (x, y)

    def pointer_drawn(self, x, y, screen):
        strip = self.image("Tex/MousePtr.Tex")
        return any(image_match(screen, self.map, strip, x, y, (left, 0, left + POINTER_W, strip.height)) >= 0.9
                   for left in range(0, strip.width, POINTER_W))

    def point_at(self, x, y):
        """Moves the pointer and waits until a frame sampled it: the game draws
        its own pointer there (shifted in play)."""
        self.move(x, y)
        places = ((x, y), (x + PLAY_POINTER_SHIFT[0], y + PLAY_POINTER_SHIFT[1]))

        def drawn():
            screen = self.running() and self.screenshot()
            return any(self.pointer_drawn(px, py, screen) for px, py in places)
        wait_for(drawn, SHOW_TIMEOUT, "the game's pointer drawn at (%d, %d)" % (x, y))

    def click(self, x, y):
        """Points at picture pixel (x, y), then presses and releases the left button."""
        self.point_at(x, y)
        for kind in ("mousePressed", "mouseReleased"):
            self.mouse(kind, x, y, button="left", clickCount=1)

    def key(self, name, hold=0.1):
        """A key as a player presses it: down, a short pause, up."""
        code = KEYS[name]
        for kind in ("rawKeyDown", "keyUp"):
            self.driver.execute_cdp_cmd("Input.dispatchKeyEvent", {
                "type": kind, "key": name, "code": name, "windowsVirtualKeyCode": code, "nativeVirtualKeyCode": code})
            if kind == "rawKeyDown":
                time.sleep(hold)

    def close(self):
        try:
            self.driver.quit()
        finally:
            shutil.rmtree(self.profile, ignore_errors=True)
            shutil.rmtree(self.downloads, ignore_errors=True)
