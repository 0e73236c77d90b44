#!/usr/bin/python3
"""Drives the real Quillane.exe under Wine with real X input and reads the screen back.

Run on an X display (tools/with-xvfb gives one).
Usage: end_to_end_test.py path/to/wine-runner path/to/Quillane.exe
"""
import os
import re
import subprocess
import sys
import tempfile
import time

CAPTION = "The Quillane (0.0.1)"
WHITE, GRID, LIVE = (255, 255, 255), (204, 204, 204), (34, 85, 136)
CELL = 15


def xdotool(*args):
    return subprocess.run(["xdotool", *args], check=True, capture_output=True, text=True).stdout


def screenshot():
    ppm = subprocess.run(["import", "-window", "root", "-depth", "8", "ppm:-"],
                         check=True, capture_output=True).stdout
    # P6 header: magic, width, height, maximum, each separated by white space.
    fields, pos = [], 0
    while len(fields) < 4:
        while ppm[pos:pos + 1].isspace():
            pos += 1
        start = pos
        while not ppm[pos:pos + 1].isspace():
            pos += 1
        fields.append(ppm[start:pos])
    width, height = int(fields[1]), int(fields[2])
    return width, height, ppm[pos + 1:]


def pixel(shot, x, y):
    width, _, data = shot
    i = 3 * (y * width + x)
    return tuple(data[i:i + 3])


def wait_for(what, condition, timeout=20.0):
    deadline = time.monotonic() + timeout
    while True:
        shot = screenshot()
        if condition(shot):
            return shot
        if time.monotonic() > deadline:
            raise AssertionError("timed out waiting for " + what)
        time.sleep(0.1)


def board_origin(shot):
    """The client area's top-left corner: the first grid line runs along client y = 15 from x = 0."""
    width, height, _ = shot
    for y in range(height):
        x = 0
        while x < width:
            if pixel(shot, x, y) == GRID:
                start = x
                while x < width and pixel(shot, x, y) == GRID:
                    x += 1
                if x - start >= 300 and pixel(shot, start + CELL, y - CELL + 1) == GRID:
                    return start, y - CELL
            x += 1
    return None


class Board:
    def __init__(self, origin):
        self.x0, self.y0 = origin

    def centre(self, cx, cy):
        return self.x0 + cx * CELL + CELL // 2, self.y0 + cy * CELL + CELL // 2

    def colour(self, shot, cx, cy):
        return pixel(shot, *self.centre(cx, cy))

    def shows(self, live, dead):
        return lambda shot: (all(self.colour(shot, *c) == LIVE for c in live)
                             and all(self.colour(shot, *c) == WHITE for c in dead))

    def click(self, cx, cy, button=1, repeat=1):
        x, y = self.centre(cx, cy)
        xdotool("mousemove", "--sync", str(x), str(y))
        xdotool("click", "--repeat", str(repeat), "--delay", "40", str(button))


def live_cells(shot, board):
    width, height, _ = shot
    return {(cx, cy) for cy in range((height - board.y0) // CELL) for cx in range((width - board.x0) // CELL)
            if board.colour(shot, cx, cy) == LIVE}


def check_command_line_glider(board, window):
    """Started with a glider file whose path has spaces, the board shows the glider; C clears it."""
    cells = live_cells(wait_for("the glider's cells", lambda s: len(live_cells(s, board)) == 5), board)
    left, top = min(x for x, _ in cells), min(y for _, y in cells)
    if {(x - left, y - top) for x, y in cells} != {(1, 0), (2, 1), (0, 2), (1, 2), (2, 2)}:
        raise AssertionError("the board shows " + str(sorted(cells)) + ", not the glider")
    xdotool("windowfocus", "--sync", window)
    xdotool("key", "c")
    wait_for("C to clear the glider", lambda s: not live_cells(s, board))


def check_clicks_toggle_cells(board):
    board.click(3, 2)
    wait_for("a clicked cell to turn blue", board.shows([(3, 2)], [(4, 2)]))
    board.click(3, 2)
    wait_for("a second click to clear it", board.shows([], [(3, 2)]))
    # A quick second press arrives as a double click; it must still toggle. The click on a
    # second cell marks when both presses have been handled.
    board.click(8, 1, repeat=2)
    board.click(9, 1)
    wait_for("a double click to toggle twice", board.shows([(9, 1)], [(8, 1)]))
    board.click(9, 1)


def check_keys_step_and_clear(board, window):
    blinker = [(5, 5), (6, 5), (7, 5)]
    for cell in blinker:
        board.click(*cell)
    wait_for("the blinker to be drawn", board.shows(blinker, []))
    xdotool("windowfocus", "--sync", window)
    xdotool("key", "Right")
    wait_for("one step to turn the blinker", board.shows([(6, 4), (6, 5), (6, 6)], [(5, 5), (7, 5)]))
    xdotool("key", "c")
    wait_for("C to clear the board", board.shows([], [(6, 4), (6, 5), (6, 6)]))


def check_context_menu(board):
    before = screenshot()
    x, y = board.centre(10, 10)
    board.click(10, 10, button=3)

    def menu_drawn(shot):
        changed = sum(1 for dx in range(4, 80, 4) for dy in range(4, 60, 4)
                      if pixel(shot, x + dx, y + dy) not in (WHITE, GRID, LIVE)
                      and pixel(shot, x + dx, y + dy) != pixel(before, x + dx, y + dy))
        return changed >= 20
    wait_for("the context menu to open at the mouse", menu_drawn)
    xdotool("key", "Escape")
    wait_for("the context menu to close", lambda shot: not menu_drawn(shot))
    if board.colour(screenshot(), 10, 10) != WHITE:
        raise AssertionError("a right click changed the cell under it")


def region(shot, x0, y0, width, height):
    w, _, data = shot
    return b"".join(data[3 * ((y0 + y) * w + x0):3 * ((y0 + y) * w + x0 + width)] for y in range(height))


def check_back_to_the_first_generation(board, window):
    glider = [(4, 3), (5, 4), (3, 5), (4, 5), (5, 5)]
    for cell in glider:
        board.click(*cell)
    first = wait_for("the glider to be drawn", board.shows(glider, []))
    area = (board.x0, board.y0, 30 * CELL, 20 * CELL)
    xdotool("windowfocus", "--sync", window)
    xdotool("key", "p")
    time.sleep(1.5)
    xdotool("key", "s")
    time.sleep(0.3)
    match = re.search(r"generation ([\d,]+), 5 cells$", xdotool("getwindowname", window).strip())
    if not match or int(match.group(1).replace(",", "")) < 5:
        raise AssertionError("the caption does not show the glider's generations: " + xdotool("getwindowname", window))
    generations = int(match.group(1).replace(",", ""))
    xdotool("key", "--delay", "30", "--repeat", str(generations), "Left")
    wait_for(f"{generations} steps back to show the first generation pixel for pixel",
             lambda shot: region(shot, *area) == region(first, *area))
    name = xdotool("getwindowname", window).strip()
    if not name.endswith(" - generation 0, 5 cells"):
        raise AssertionError("the caption after going back: " + name)
    xdotool("key", "c")


def main():
    runner, exe = sys.argv[1:3]
    folder = tempfile.TemporaryDirectory(prefix="quillane e2e ")
    glider = os.path.join(folder.name, "a glider.rle")
    with open(glider, "w") as f:
        f.write("#N Glider\nx = 3, y = 3, rule = B3/S23\nbob$2bo$3o!\n")
    app = subprocess.Popen([runner, exe, "Z:" + glider.replace("/", "\\")])
    passed, failed = 0, 0
    try:
        window = subprocess.run(["timeout", "90", "xdotool", "search", "--sync", "--onlyvisible",
                                 "--name", "^" + CAPTION.replace("(", "\\(").replace(")", "\\)").replace(".", "\\.")],
                                capture_output=True, text=True).stdout.split()
        if not window:
            raise AssertionError("the main window did not appear")
        window = window[0]
        shot = wait_for("the board's grid", lambda s: board_origin(s) is not None, timeout=60)
        board = Board(board_origin(shot))
        checks = [("a glider file on the command line", lambda: check_command_line_glider(board, window)),
                  ("clicks toggle cells", lambda: check_clicks_toggle_cells(board)),
                  ("keys step and clear", lambda: check_keys_step_and_clear(board, window)),
                  ("right click opens the context menu", lambda: check_context_menu(board)),
                  ("back to the first generation", lambda: check_back_to_the_first_generation(board, window))]
        for name, check in checks:
            try:
                check()
                passed += 1
                print("ok:", name)
            except AssertionError as e:
                failed += 1
                print("FAILED:", name, "-", e)
                subprocess.run(["import", "-window", "root", os.path.join(os.getcwd(), name.replace(" ", "_") + ".png")])
        xdotool("windowfocus", "--sync", window)
        xdotool("key", "alt+F4")
        code = app.wait(timeout=30)
        if code == 0:
            passed += 1
            print("ok: closes with exit code 0")
        else:
            failed += 1
            print("FAILED: exit code", code)
    finally:
        if app.poll() is None:
            app.kill()
            failed += 1
            print("FAILED: Quillane was still running")
    print(f"{passed} passed, {failed} failed")
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
