#!/usr/bin/python3
"""Drives the real Quillane.exe under Wine with real X input and reads the screen back, for what needs a real
process or real input: clicks, a drag, Ctrl+Z, the context menu, the population graph clicked, Alt+F4's exit code. On an X display (tools/with-xvfb): end_to_end_test.py path/to/wine-runner path/to/Quillane.exe"""
import os
import shutil
import subprocess
import sys
import tempfile
import time

GRID, LIVE, WHITE = (204, 204, 204), (34, 85, 136), (255, 255, 255)
CELL = 15
# Under qemu's emulation of 32-bit Wine every wait is far longer.
SLOW = 8 if os.environ.get("QUILLANE_EMULATED") else 1


def xdotool(*args):
    return subprocess.run(["xdotool", *args], check=True, capture_output=True, text=True, timeout=90 * SLOW).stdout


def screenshot():
    ppm = subprocess.run(["import", "-window", "root", "-depth", "8", "ppm:-"], check=True, capture_output=True).stdout
    width, height = (int(v) for v in ppm.split(maxsplit=3)[1:3])  # P6 header, then the bytes
    return width, ppm[-3 * width * height:]


def pixel(shot, x, y):
    return tuple(shot[1][3 * (y * shot[0] + x):3 * (y * shot[0] + x) + 3])


def wait_for(what, condition, timeout=20.0):
    deadline = time.monotonic() + timeout * SLOW
    while not condition(shot := screenshot()):
        if time.monotonic() > deadline:
            raise AssertionError("timed out waiting for " + what)
        time.sleep(0.1)
    return shot


def board_origin(shot):
    """The client area's top-left corner: the first grid line runs along client y = 15 from x = 0."""
    width, data = shot
    for y in range(CELL, len(data) // 3 // width):
        i = data.find(bytes(GRID) * 300, 3 * y * width, 3 * (y + 1) * width)
        x = -(-(i - 3 * y * width) // 3)
        if i >= 0 and pixel(shot, x + CELL, y - CELL + 1) == GRID:
            return x, y - CELL


def geometry(window):
    shell = dict(line.split("=") for line in xdotool("getwindowgeometry", "--shell", window).split())
    return tuple(int(shell[key]) for key in ("X", "Y", "WIDTH", "HEIGHT"))


def find_window():
    """The window's id and width."""
    window = xdotool("search", "--sync", "--onlyvisible", "--name", r"^The Quillane \(0\.0\.1\)").split()[0]
    return window, geometry(window)[2]


def close(app, window):
    xdotool("windowfocus", "--sync", window)
    xdotool("key", "alt+F4")
    assert app.wait(timeout=30 * SLOW) == 0, "the exit code is not 0"


def kept_after_a_restart(runner, exe, glider):
    """A moved and resized window and a chosen speed come back in the next start."""
    app = subprocess.Popen([runner, exe, glider])
    try:
        window = find_window()[0]
        xdotool("windowmove", "--sync", window, "60", "50")
        xdotool("windowsize", "--sync", window, "700", "520")
        time.sleep(0.5)
        placed = geometry(window)
        xdotool("windowfocus", "--sync", window)
        xdotool("key", "4", "s")  # 200 ms, which starts it, then a stop
        close(app, window)
        app = subprocess.Popen([runner, exe, glider])
        window = find_window()[0]
        assert geometry(window) == placed, "the window's place is not kept: %s, not %s" % (geometry(window), placed)
        xdotool("windowfocus", "--sync", window)
        xdotool("key", "p")
        deadline = time.monotonic() + 20
        while not xdotool("getwindowname", window).strip().endswith("running at 200 ms"):
            assert time.monotonic() < deadline, "the speed is not kept: " + xdotool("getwindowname", window)
            time.sleep(0.1)
        close(app, window)
    finally:
        if app.poll() is None:
            app.kill()


def grid_at_144_dpi(runner, exe, width_at_96):
    """In a copy of the runner's prefix at 144 DPI (its registry copied, the rest linked), the window opens scaled
    up and its grid lines stand one physical pixel wide and CELL pixels apart."""
    name = "WINEPREFIX32" if runner.endswith("32") else "WINEPREFIX"
    source = os.path.abspath(os.environ.get(name) or os.path.join(os.path.dirname(runner), "..", "build", name.lower()))
    prefix = tempfile.TemporaryDirectory(prefix="quillane 144 dpi ")
    # The prefix's ready mark too: without it the runner would make the prefix afresh, for minutes.
    for entry in ("drive_c", "dosdevices", "system.reg", "user.reg", "userdef.reg", ".update-timestamp",
                  ".quillane-ready"):
        (shutil.copy if "." in entry else os.symlink)(os.path.join(source, entry), os.path.join(prefix.name, entry))
    with open(os.path.join(prefix.name, "user.reg"), "a") as f:
        f.write('\n[Control Panel\\\\Desktop]\n"LogPixels"=dword:00000090\n')
    # Its own settings: a kept place would not be scaled.
    settings = "Z:" + os.path.join(prefix.name, "settings").replace("/", "\\")
    env = dict(os.environ, WINEPREFIX=prefix.name, WINEPREFIX32=prefix.name, QUILLANE_SETTINGS=settings)
    app = subprocess.Popen([runner, exe], env=env)
    try:
        assert find_window()[1] >= 1.3 * width_at_96, "the window is not scaled for 144 DPI"
        x0, y0 = board_origin(wait_for("the grid at 144 DPI", lambda s: board_origin(s) is not None, timeout=60))
        shot, steps, half = screenshot(), range(1, 20 * CELL), CELL // 2
        lines = [pixel(shot, x0 + i, y0 + half) for i in steps] + [pixel(shot, x0 + half, y0 + i) for i in steps]
        assert lines == 2 * [GRID if i % CELL == 0 else WHITE for i in steps], "the grid at 144 DPI"
    finally:
        app.kill()
        subprocess.run(["/usr/lib/wine/wineserver", "-k"], env=env)
        os.remove(prefix.name + ".lock")  # the runner's, beside the prefix


def main():
    runner, exe = sys.argv[1:3]
    if subprocess.run([runner, "--version"], capture_output=True).returncode == 77:
        sys.exit(77)  # the runner cannot start this build's Wine here, and has said why
    folder = tempfile.TemporaryDirectory(prefix="quillane e2e ü ")
    path = os.path.join(folder.name, "グライダー.rle")
    with open(path, "w") as f:
        f.write("#N Glider\nx = 3, y = 3, rule = B3/S23\nbob$2bo$3o!\n")
    # Settings of its own, never the user's.
    os.environ["QUILLANE_SETTINGS"] = "Z:" + os.path.join(folder.name, "settings").replace("/", "\\")
    app = subprocess.Popen([runner, exe, "Z:" + path.replace("/", "\\")])
    try:
        window, width = find_window()
        x0, y0 = board_origin(wait_for("the board's grid", lambda s: board_origin(s) is not None, timeout=60))
        centre = lambda cx, cy: (x0 + cx * CELL + CELL // 2, y0 + cy * CELL + CELL // 2)
        live = lambda shot: {(cx, cy) for cx in range(25) for cy in range(20) if pixel(shot, *centre(cx, cy)) == LIVE}

        def click(cx, cy, button=1, repeat=1):
            xdotool("mousemove", "--sync", *map(str, centre(cx, cy)))
            xdotool("click", "--repeat", str(repeat), "--delay", "40", str(button))

        # The command line's glider (its path has spaces and letters outside ASCII).
        cells = live(wait_for("the glider from the command line", lambda s: len(live(s)) == 5))
        # A quick second press arrives as a double click and still toggles; the last click marks
        # when both presses have been handled.
        click(8, 1, repeat=2)
        click(9, 1)
        wait_for("a double click to toggle twice", lambda s: live(s) == cells | {(9, 1)})
        # A drag draws every cell between two far pointer positions; one Ctrl+Z takes the whole stroke back.
        xdotool("mousemove", "--sync", *map(str, centre(2, 4)))
        xdotool("mousedown", "1")
        xdotool("mousemove", "--sync", *map(str, centre(14, 4)))
        xdotool("mouseup", "1")
        wait_for("a drag to draw a stroke", lambda s: live(s) == cells | {(9, 1)} | {(cx, 4) for cx in range(2, 15)})
        xdotool("key", "ctrl+z")
        wait_for("one undo to take the stroke back", lambda s: live(s) == cells | {(9, 1)})
        # The context menu opens where the mouse is.
        before = screenshot()
        mx, my = centre(12, 10)
        click(12, 10, button=3)
        menu = lambda s: sum(pixel(s, mx + dx, my + dy) != pixel(before, mx + dx, my + dy)
                             for dx in range(4, 80, 4) for dy in range(4, 60, 4)) >= 20
        wait_for("the context menu at the mouse", menu)
        xdotool("key", "Escape")
        wait_for("the context menu to close", lambda s: not menu(s))
        # G opens the population graph; a click at its left end brings back the oldest board kept, the empty one
        # before the command line's load.
        xdotool("windowfocus", "--sync", window)
        xdotool("key", "g")
        graph = xdotool("search", "--sync", "--onlyvisible", "--name", "^The Quillane: Population$").split()[0]
        height = int(dict(line.split("=") for line in xdotool("getwindowgeometry", "--shell", graph).split())["HEIGHT"])
        xdotool("mousemove", "--sync", "--window", graph, "50", str(height // 3))
        xdotool("click", "1")
        wait_for("a click on the graph to bring the board back", lambda s: live(s) == set())
        # The graph, active since the click, takes the first Alt+F4; the main window the next.
        xdotool("key", "alt+F4")
        deadline = time.monotonic() + 20 * SLOW
        while subprocess.run(["xdotool", "search", "--onlyvisible", "--name", "^The Quillane: Population$"],
                             capture_output=True).returncode == 0:
            assert time.monotonic() < deadline, "Alt+F4 did not close the graph"
            time.sleep(0.1)
        xdotool("windowfocus", "--sync", window)
        xdotool("key", "alt+F4")
        assert app.wait(timeout=30 * SLOW) == 0, "the exit code is not 0"
    finally:
        if app.poll() is None:
            app.kill()
    # Each further start is minutes under emulation: the restart and the scaled grid are checked where Wine runs
    # natively.
    if SLOW == 1:
        kept_after_a_restart(runner, exe, "Z:" + path.replace("/", "\\"))
        grid_at_144_dpi(runner, exe, width)


if __name__ == "__main__":
    main()
