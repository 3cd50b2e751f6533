#!/usr/bin/env python3
"""Logs the moment each top-level window is mapped on the X display.

    window_maps.py LOG

Prints "ready" once it listens, then appends one line to LOG per window the
window manager maps on the root (its frame, or the window itself without a
manager): the wall-clock time in microseconds since the epoch, then the ids
of that window and of every window inside it, in decimal. A window is
viewable from that moment. Runs until killed.

It waits on X events instead of polling, so it neither delays the program
being measured nor adds a poll's granularity: starting an `xdotool search`
process takes about 6 ms here, on the same two cores as the program.
Needs only libX11 (through ctypes).
"""
import ctypes
import ctypes.util
import sys
import time

MAP_NOTIFY = 19
SUBSTRUCTURE_NOTIFY_MASK = 1 << 19


class XMapEvent(ctypes.Structure):
    _fields_ = [("type", ctypes.c_int), ("serial", ctypes.c_ulong), ("send_event", ctypes.c_int),
                ("display", ctypes.c_void_p), ("event", ctypes.c_ulong), ("window", ctypes.c_ulong),
                ("override_redirect", ctypes.c_int)]


class XEvent(ctypes.Union):
    _fields_ = [("type", ctypes.c_int), ("xmap", XMapEvent), ("pad", ctypes.c_long * 24)]


def load_xlib():
    xlib = ctypes.CDLL(ctypes.util.find_library("X11") or "libX11.so.6")
    xlib.XOpenDisplay.restype = ctypes.c_void_p
    xlib.XOpenDisplay.argtypes = [ctypes.c_char_p]
    xlib.XDefaultRootWindow.restype = ctypes.c_ulong
    xlib.XDefaultRootWindow.argtypes = [ctypes.c_void_p]
    xlib.XSelectInput.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_long]
    xlib.XSync.argtypes = [ctypes.c_void_p, ctypes.c_int]
    xlib.XNextEvent.argtypes = [ctypes.c_void_p, ctypes.POINTER(XEvent)]
    xlib.XQueryTree.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.POINTER(ctypes.c_ulong),
                                ctypes.POINTER(ctypes.c_ulong), ctypes.POINTER(ctypes.POINTER(ctypes.c_ulong)),
                                ctypes.POINTER(ctypes.c_uint)]
    xlib.XFree.argtypes = [ctypes.c_void_p]
    # A window destroyed before it is looked into must not end the watch.
    handler_type = ctypes.CFUNCTYPE(ctypes.c_int, ctypes.c_void_p, ctypes.c_void_p)
    load_xlib.ignore_errors = handler_type(lambda display, error: 0)
    xlib.XSetErrorHandler(load_xlib.ignore_errors)
    return xlib


def descendants(xlib, display, window, depth=3):
    root, parent = ctypes.c_ulong(), ctypes.c_ulong()
    children, count = ctypes.POINTER(ctypes.c_ulong)(), ctypes.c_uint()
    if depth == 0 or not xlib.XQueryTree(display, window, ctypes.byref(root), ctypes.byref(parent),
                                         ctypes.byref(children), ctypes.byref(count)):
        return []
    found = [children[i] for i in range(count.value)]
    if children:
        xlib.XFree(children)
    for child in list(found):
        found += descendants(xlib, display, child, depth - 1)
    return found


def main():
    if len(sys.argv) != 2:
        print(__doc__.strip().splitlines()[2].strip(), file=sys.stderr)
        return 2
    xlib = load_xlib()
    display = xlib.XOpenDisplay(None)
    if not display:
        print("window_maps.py: cannot open the display", file=sys.stderr)
        return 1
    root = xlib.XDefaultRootWindow(display)
    xlib.XSelectInput(display, root, SUBSTRUCTURE_NOTIFY_MASK)
    xlib.XSync(display, 0)
    print("ready", flush=True)
    event = XEvent()
    with open(sys.argv[1], "a") as log:
        while True:
            xlib.XNextEvent(display, ctypes.byref(event))
            if event.type != MAP_NOTIFY or event.xmap.event != root or event.xmap.override_redirect:
                continue
            mapped_at = time.time_ns() // 1000
            ids = [event.xmap.window] + descendants(xlib, display, event.xmap.window)
            log.write("%d %s\n" % (mapped_at, " ".join(str(i) for i in ids)))
            log.flush()


if __name__ == "__main__":
    sys.exit(main())
