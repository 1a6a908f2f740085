#!/usr/bin/env python3
"""Drives the real tallyfox binary on an X server with real X input (xdotool) and checks what
the user would see and what lands in the preferences file.

Run under Xvfb: xvfb-run -a -s "-screen 0 1280x1024x24" python3 e2e_window.py build/tallyfox
"""
import os
import re
import subprocess
import sys
import tempfile
import time
import unittest

BINARY = None

# Positions in the main window's client area, as the window lays itself out: the list starts
# 11 pixels down, under a heading row of about 20 pixels; rows are about 20 pixels high.
ROW_Y = [40, 60, 80]
PROJECT_X = 60
TOTAL_X = 440
EMPTY_LIST_Y = 170
START_BUTTON = (63, 209)
STOP_BUTTON = (176, 209)

INITIAL = (
    "#version 1.5\n"
    "#windowpos 100\t120\t493\t233\n"
    "#columnwidths 35%,25%,25%,15%\n"
    "#saveditem Alpha\t\t\t\n"
    "#saveditem Beta\t03/14 09:05\t03/14 10:35\t1' 30\"\n"
)
STAMP = r"\d\d/\d\d \d\d:\d\d"


def xdotool(*args):
    return subprocess.run(["xdotool", *map(str, args)], check=True, capture_output=True,
                          text=True, timeout=20).stdout.strip()


def wait_for(predicate, what, timeout=10.0):
    deadline = time.monotonic() + timeout
    while time.monotonic() < deadline:
        value = predicate()
        if value:
            return value
        time.sleep(0.05)
    raise AssertionError(f"timed out waiting for {what}")


class MainWindowTest(unittest.TestCase):
    def setUp(self):
        self.config = tempfile.TemporaryDirectory()
        self.prefs = os.path.join(self.config.name, "Tallyfox Prefs")
        with open(self.prefs, "w", encoding="utf-8", newline="") as f:
            f.write(INITIAL)
        env = dict(os.environ, XDG_CONFIG_HOME=self.config.name, QT_QPA_PLATFORM="xcb")
        self.log = tempfile.TemporaryFile()
        self.app = subprocess.Popen([BINARY], env=env, stdout=self.log, stderr=subprocess.STDOUT)
        try:
            self.window = wait_for(lambda: self.find_window("^Tally Fox$"), "the main window")
        except AssertionError:
            self.app.kill()
            self.log.seek(0)
            raise AssertionError(f"no main window; exit {self.app.wait()}, output: "
                                 f"{self.log.read().decode(errors='replace')}")
        # The window sits where the file put it before anything is clicked.
        geometry = xdotool("getwindowgeometry", "--shell", self.window).split("\n")
        for expected in ("X=100", "Y=120", "WIDTH=493", "HEIGHT=233"):
            self.assertIn(expected, geometry)

    def tearDown(self):
        self.app.kill()
        self.app.wait(timeout=10)
        self.config.cleanup()

    def find_window(self, name):
        result = subprocess.run(["xdotool", "search", "--all", "--pid", str(self.app.pid),
                                 "--onlyvisible", "--name", name],
                                capture_output=True, text=True)
        windows = result.stdout.split()
        return windows[0] if windows else None

    def click(self, x, y, *, double=False, window=None):
        xdotool("mousemove", "--window", window or self.window, x, y)
        xdotool("click", *(["--repeat", 2, "--delay", 80] if double else []), 1)

    def saved_rows(self):
        with open(self.prefs, encoding="utf-8", errors="surrogateescape") as f:
            return [line[len("#saveditem "):].split("\t")
                    for line in f.read().split("\n") if line.startswith("#saveditem ")]

    def wait_for_rows(self, check, what):
        return wait_for(lambda: (lambda rows: rows if check(rows) else None)(self.saved_rows()),
                        what)

    def test_start_stop_with_the_buttons(self):
        self.click(PROJECT_X, ROW_Y[0])
        self.click(*START_BUTTON)
        rows = self.wait_for_rows(lambda r: re.fullmatch(STAMP, r[0][1] or "x"), "a started row")
        self.assertEqual(rows[0][2:], ["", ""])
        self.click(*STOP_BUTTON)
        rows = self.wait_for_rows(lambda r: r[0][3] != "", "a stopped row")
        self.assertRegex(rows[0][2], STAMP)
        self.assertIn(rows[0][3], ["0' 0\"", "0' 1\""])
        self.assertEqual(rows[1], ["Beta", "03/14 09:05", "03/14 10:35", "1' 30\""])

    def test_double_click_starts_then_stops(self):
        self.click(TOTAL_X, ROW_Y[0], double=True)
        self.wait_for_rows(lambda r: r[0][1] != "" and r[0][2] == "", "a started row")
        time.sleep(0.6)  # a second double-click, not a triple click
        self.click(TOTAL_X, ROW_Y[0], double=True)
        self.wait_for_rows(lambda r: r[0][2] != "" and r[0][3] != "", "a stopped row")

    def test_double_click_on_a_stopped_row_opens_the_dialog(self):
        self.click(TOTAL_X, ROW_Y[1], double=True)
        dialog = wait_for(lambda: self.find_window("^Edit Start/Finish Times$"), "the dialog")
        # Into the Finish field (151, 33 in the dialog, 120 by 22).
        time.sleep(0.3)
        self.click(211, 44, window=dialog)
        xdotool("key", "Escape")  # Escape does not close it
        time.sleep(0.3)
        self.assertIsNotNone(self.find_window("^Edit Start/Finish Times$"))
        # Replace the Finish text and confirm with Return.
        xdotool("key", "ctrl+a")
        xdotool("type", "--delay", 20, "03/14 11:05")
        xdotool("key", "Return")
        wait_for(lambda: not self.find_window("^Edit Start/Finish Times$"), "the dialog to close")
        self.wait_for_rows(lambda r: r[1] == ["Beta", "03/14 09:05", "03/14 11:05", "2' 0\""],
                           "the edited row re-totalled")

    def test_rename_in_place_and_remove_with_backspace(self):
        self.click(PROJECT_X, ROW_Y[0])
        time.sleep(0.6)  # so that the next click is not a double-click
        self.click(PROJECT_X, ROW_Y[0])  # a click on the selected row's name edits it
        time.sleep(1.2)  # the editor opens once no second click can follow
        xdotool("key", "ctrl+a")
        xdotool("type", "--delay", 20, "Tax return")
        xdotool("key", "Return")
        self.wait_for_rows(lambda r: r[0][0] == "Tax return", "the renamed row")

        self.click(PROJECT_X, ROW_Y[1])
        xdotool("key", "BackSpace")
        self.wait_for_rows(lambda r: [row[0] for row in r] == ["Tax return"], "Beta removed")

    def test_alt_click_on_empty_space_adds_a_project(self):
        self.click(PROJECT_X, ROW_Y[0])
        xdotool("mousemove", "--window", self.window, PROJECT_X, EMPTY_LIST_Y)
        xdotool("keydown", "alt")
        try:
            xdotool("click", 1)
        finally:
            xdotool("keyup", "alt")
        self.wait_for_rows(lambda r: [row[0] for row in r] == ["Alpha", "Beta",
                                                                "Untitled project 1"],
                           "a new untitled row")


if __name__ == "__main__":
    BINARY = os.path.abspath(sys.argv.pop(1))
    unittest.main(verbosity=2)
