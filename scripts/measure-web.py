#!/usr/bin/python3
"""Measures the browser build (build-web/site, made by scripts/web.sh) in a
headless Chromium, served over loopback from this process:

    scripts/measure-web.py [SITE]      (default: build-web/site)

- each file's size, raw and compressed with gzip -9, and their sum;
- the time from navigation to the first picture (the page's
  "quillmara-first-picture" mark, against navigation start), median of RUNS
  fresh browsers, each with an empty cache;
- the CPU share of one core that the browser's processes take together
  while the page idles on the menu for SPAN seconds, against the same
  browser on an empty page.
"""

import gzip
import os
import statistics
import sys
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tests", "web"))
from browser import Page, Site, missing_programs  # noqa: E402

RUNS = int(os.environ.get("RUNS", "7"))
SPAN = float(os.environ.get("SPAN", "20"))
TICKS = os.sysconf("SC_CLK_TCK")


def tree(root):
    """The process ids of `root` and all its descendants."""
    children = {}
    for entry in os.listdir("/proc"):
        if entry.isdigit():
            try:
                with open("/proc/%s/stat" % entry) as f:
                    parent = int(f.read().rsplit(")", 1)[1].split()[1])
                children.setdefault(parent, []).append(int(entry))
            except (OSError, IndexError, ValueError):
                pass
    found, todo = [], [root]
    while todo:
        pid = todo.pop()
        found.append(pid)
        todo.extend(children.get(pid, []))
    return found


def cpu_seconds(pids):
    total = 0
    for pid in pids:
        try:
            with open("/proc/%d/stat" % pid) as f:
                fields = f.read().rsplit(")", 1)[1].split()
            total += int(fields[11]) + int(fields[12])  # utime, stime
        except (OSError, IndexError, ValueError):
            pass
    return total / TICKS


def idle_share(page):
    root = page.driver.service.process.pid
    pids = tree(root)
    before, started = cpu_seconds(pids), time.monotonic()
    time.sleep(SPAN)
    return 100 * (cpu_seconds(pids) - before) / (time.monotonic() - started)


def main():
    site_dir = sys.argv[1] if len(sys.argv) > 1 else "build-web/site"
    missing = missing_programs(site_dir)
    if missing:
        sys.exit("measure-web: " + missing)
    print("| file | bytes | gzip -9 |\n|---|---|---|")
    raw_total = packed_total = 0
    for name in sorted(os.listdir(site_dir)):
        with open(os.path.join(site_dir, name), "rb") as f:
            data = f.read()
        packed = len(gzip.compress(data, 9))
        raw_total, packed_total = raw_total + len(data), packed_total + packed
        print("| %s | %d | %d |" % (name, len(data), packed))
    print("| all | %d | %d |" % (raw_total, packed_total))

    site = Site(site_dir)
    data_dir = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "build", "run")
    firsts = []
    try:
        for _ in range(RUNS):
            page = Page(site, data_dir)
            try:
                mark = None
                deadline = time.monotonic() + 60
                while mark is None and time.monotonic() < deadline:
                    mark = page.driver.execute_script(
                        "const m = performance.getEntriesByName('quillmara-first-picture');"
                        "return m.length ? m[0].startTime : null")
                    time.sleep(0.02)
                if mark is None:
                    sys.exit("measure-web: the page drew no first picture within 60 s")
                firsts.append(mark)
                if len(firsts) == RUNS:
                    time.sleep(3)  # the menu settled
                    game = idle_share(page)
                    page.driver.get("about:blank")
                    time.sleep(3)
                    blank = idle_share(page)
            finally:
                page.close()
    finally:
        site.close()
    print("\nnavigation to first picture: median %.0f ms (min %.0f, max %.0f, %d runs)"
          % (statistics.median(firsts), min(firsts), max(firsts), RUNS))
    print("browser CPU over %.0f s: idle on the menu %.1f %%, on an empty page %.1f %%" % (SPAN, game, blank))


if __name__ == "__main__":
    main()
