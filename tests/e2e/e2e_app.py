#!/usr/bin/env python3
"""Drives the real tallyfox program on an X server with real X input (xdotool), reads the
clipboard with xclip and fixes the clock with faketime, and checks what the user sees and what
lands in the preferences file.

Run under Xvfb: xvfb-run -a -s "-screen 0 1280x1024x24" python3 e2e_app.py build/tallyfox
"""
import os
import re
import shutil
import signal
import subprocess
import sys
import tempfile
import time
import unittest

BINARY = None
FAKETIME = "/usr/lib/x86_64-linux-gnu/faketime/libfaketime.so.1"
MAIN, ABOUT, DIALOG = "^Tally Fox$", "^About Tally Fox$", "^Edit Start/Finish Times$"
# Places in the main window's content area, below its menu bar: rows about 20 pixels high under
# a heading of about 20, starting 11 pixels down; the Start and Stop buttons 13 from the bottom.
ROW_Y = [40, 60, 80]
PROJECT_X, TOTAL_X, EMPTY_Y = 60, 440, 170
START, STOP = (63, 209), (176, 209)
STOPPED = "Beta\t03/14 09:05\t03/14 10:35\t1' 30\""
FILE = ("#version 1.5\n#windowpos 100\t120\t493\t233\n#columnwidths 35%,25%,25%,15%\n"
        "#saveditem Alpha\t\t\t\n#saveditem " + STOPPED + "\n")


def xdotool(*args):
    return subprocess.run(["xdotool", *map(str, args)], check=True, capture_output=True,
                          text=True, timeout=20).stdout.strip()


def wait_for(predicate, what, timeout=15.0):
    deadline = time.monotonic() + timeout
    while time.monotonic() < deadline:
        value = predicate()
        if value:
            return value
        time.sleep(0.02)  # xdotool's own --sync polls only twice a second
    raise AssertionError(f"timed out waiting for {what}")


class Run:
    """One run of the program with a fresh HOME and configuration folder."""

    def __init__(self, test, prefs=None, binary=None, clock=None, home=None):
        self.home = home or tempfile.mkdtemp(prefix="tallyfox-e2e-")
        test.addCleanup(shutil.rmtree, self.home, True)
        self.prefs = os.path.join(self.home, "config", "Tallyfox Prefs")
        os.makedirs(os.path.dirname(self.prefs), exist_ok=True)
        if prefs is not None:
            with open(self.prefs, "w", encoding="utf-8", newline="") as f:
                f.write(prefs)
        env = dict(os.environ, HOME=self.home, XDG_CONFIG_HOME=os.path.dirname(self.prefs),
                   QT_QPA_PLATFORM="xcb", TZ="UTC")
        if clock:
            self.clock = os.path.join(self.home, "clock")
            self.set_clock(clock)
            env.update(LD_PRELOAD=FAKETIME, FAKETIME_TIMESTAMP_FILE=self.clock,
                       FAKETIME_NO_CACHE="1", FAKETIME_DONT_FAKE_MONOTONIC="1",
                       ASAN_OPTIONS=env.get("ASAN_OPTIONS", "") + ":verify_asan_link_order=0")
        self.log = tempfile.TemporaryFile()
        self.process = subprocess.Popen([binary or BINARY], env=env, stdout=self.log,
                                        stderr=subprocess.STDOUT)
        test.addCleanup(self.kill)

    def set_clock(self, stamp):
        with open(self.clock, "w") as f:
            f.write(stamp + "\n")

    def kill(self):
        if self.process.poll() is None:
            self.process.kill()
        self.process.wait(timeout=10)
        self.log.close()

    def exit_status(self, timeout=15):
        try:
            return self.process.wait(timeout=timeout)
        except subprocess.TimeoutExpired:
            self.log.seek(0)
            raise AssertionError("still running: " + self.log.read().decode(errors="replace"))

    def window(self, name, timeout=15.0):
        return wait_for(lambda: self.find(name), f"a window named {name}", timeout)

    def find(self, name):
        found = subprocess.run(["xdotool", "search", "--all", "--onlyvisible", "--pid",
                                str(self.process.pid), "--name", name],
                               capture_output=True, text=True).stdout.split()
        return found[0] if found else None

    def ready(self):
        """The main window, once the splash has gone and the window has the keyboard."""
        self.main = self.window(MAIN)
        wait_for(lambda: not self.find(ABOUT), "the splash to close")
        wait_for(lambda: xdotool("getwindowfocus") == self.main, "the main window's focus")
        # Every run here keeps the laid-out content height; what the window has above it is menu.
        self.menu_bar = self.geometry(self.main)["HEIGHT"] - 233
        return self.main

    def geometry(self, window):
        lines = xdotool("getwindowgeometry", "--shell", window).split("\n")
        return {k: int(v) for k, v in (line.split("=") for line in lines)}

    def click(self, x, y, *, double=False, modifier=None):
        xdotool("mousemove", "--window", self.main, x, y + self.menu_bar)
        if modifier:
            xdotool("keydown", modifier)
        try:
            xdotool("click", *(["--repeat", 2, "--delay", 80] if double else []), 1)
        finally:
            if modifier:
                xdotool("keyup", modifier)

    def text(self):
        try:
            with open(self.prefs, encoding="utf-8", errors="surrogateescape") as f:
                return f.read()
        except FileNotFoundError:
            return ""

    def rows(self):
        return [line[len("#saveditem "):].split("\t")
                for line in self.text().split("\n") if line.startswith("#saveditem ")]

    def wait_rows(self, check, what):
        return wait_for(lambda: (lambda rows: rows if check(rows) else None)(self.rows()), what)


class StartUp(unittest.TestCase):
    def test_first_run_without_a_file(self):
        run = Run(self)
        run.window(ABOUT)
        shown = time.monotonic()
        wait_for(lambda: not run.find(ABOUT), "the splash to close itself")
        self.assertTrue(0.5 < time.monotonic() - shown < 2.5)
        run.ready()
        self.assertEqual(run.geometry(run.main)["WIDTH"], 493)
        xdotool("key", "ctrl+q")
        self.assertEqual(run.exit_status(), 0)
        self.assertEqual(run.rows(), [])  # the file, written at quitting, holds no row

    def test_rows_and_place_are_in_place_before_the_splash(self):
        run = Run(self, FILE)
        run.window(ABOUT)
        place = run.geometry(run.window(MAIN))
        # The content area, below the menu bar, is where the file put it.
        self.assertEqual((place["X"], place["WIDTH"], place["Y"] + place["HEIGHT"]),
                         (100, 493, 120 + 233))
        run.ready()
        xdotool("key", "ctrl+a", "ctrl+c")
        clipboard = wait_for(lambda: subprocess.run(
            ["xclip", "-o", "-selection", "clipboard"], capture_output=True, text=True).stdout,
            "the clipboard")
        self.assertEqual(clipboard, "Project: Beta   Start: 03/14 09:05   Stop: 03/14 10:35   "
                                    "Total: 1' 30\"")

    def test_missing_resource_store(self):
        folder = tempfile.mkdtemp()
        self.addCleanup(shutil.rmtree, folder)
        binary = shutil.copy(BINARY, folder)
        run = Run(self, FILE, binary=binary)
        box = run.window(MAIN)
        self.assertLess(run.geometry(box)["WIDTH"], 493)  # the message, not the main window
        xdotool("windowfocus", "--sync", box)
        xdotool("key", "Return")
        self.assertEqual(run.exit_status(), 0)
        self.assertEqual(run.text(), FILE)

    def test_one_copy_per_file_and_side_by_side(self):
        first = Run(self, FILE)
        first.ready()
        second = Run(self, home=first.home)
        self.assertEqual(second.exit_status(), 0)
        self.assertIsNone(first.process.poll())
        self.assertEqual(first.text(), FILE)
        other = Run(self)
        other.window(MAIN)
        self.assertIsNone(other.process.poll())


class Commands(unittest.TestCase):
    def setUp(self):
        self.run_ = Run(self, FILE, clock="2026-05-27 09:00:00")
        self.main = self.run_.ready()

    def test_new_project_twice_then_quit(self):
        xdotool("key", "ctrl+n", "ctrl+n")
        self.run_.wait_rows(lambda r: [row[0] for row in r][2:] ==
                            ["Untitled project 1", "Untitled project 2"], "two new rows")
        xdotool("key", "ctrl+q")
        self.assertEqual(self.run_.exit_status(), 0)

    def test_start_and_stop_give_an_exact_total(self):
        run = self.run_
        run.click(PROJECT_X, ROW_Y[0])
        run.click(*START)
        run.wait_rows(lambda r: r[0] == ["Alpha", "05/27 09:00", "", ""], "a started row")
        run.set_clock("2026-05-27 10:25:40")
        run.click(*STOP)
        run.wait_rows(lambda r: r[0] == ["Alpha", "05/27 09:00", "05/27 10:25", "1' 25\""],
                      "the row stopped after 85 minutes")

    def test_quit_stops_the_running_row(self):
        run = self.run_
        run.click(TOTAL_X, ROW_Y[0], double=True)
        run.wait_rows(lambda r: r[0][1] == "05/27 09:00", "a started row")
        run.set_clock("2026-05-27 09:40:00")
        xdotool("key", "ctrl+q")
        self.assertEqual(run.exit_status(), 0)
        self.assertEqual(run.rows()[0], ["Alpha", "05/27 09:00", "05/27 09:40", "0' 40\""])

    def test_edit_dialog_escape_then_return(self):
        run = self.run_
        run.click(TOTAL_X, ROW_Y[1], double=True)
        dialog = run.window(DIALOG)
        xdotool("windowfocus", "--sync", dialog)
        xdotool("key", "Escape")  # Escape does not close it
        time.sleep(0.3)
        self.assertIsNotNone(run.find(DIALOG))
        xdotool("key", "Tab", "ctrl+a")
        xdotool("type", "--delay", 20, "03/14 11:05")
        xdotool("key", "Return")
        run.wait_rows(lambda r: r[1] == ["Beta", "03/14 09:05", "03/14 11:05", "2' 0\""],
                      "the edited row re-totalled")

    def test_rename_remove_and_alt_click(self):
        run = self.run_
        run.click(PROJECT_X, ROW_Y[0])
        xdotool("key", "F2", "ctrl+a")
        xdotool("type", "--delay", 20, "Tax return")
        xdotool("key", "Return")
        run.wait_rows(lambda r: r[0][0] == "Tax return", "the renamed row")
        run.click(PROJECT_X, ROW_Y[1])
        xdotool("key", "BackSpace")
        run.wait_rows(lambda r: [row[0] for row in r] == ["Tax return"], "Beta removed")
        run.click(TOTAL_X, ROW_Y[0])
        run.click(PROJECT_X, EMPTY_Y, modifier="alt")
        run.wait_rows(lambda r: [row[0] for row in r] == ["Tax return", "Untitled project 1"],
                      "a new untitled row")

    def test_switching_away_saves(self):
        os.remove(self.run_.prefs)
        other = subprocess.Popen(["xmessage", "-geometry", "+700+600", "elsewhere"])
        self.addCleanup(other.wait)
        self.addCleanup(other.kill)
        window = wait_for(lambda: subprocess.run(
            ["xdotool", "search", "--onlyvisible", "--pid", str(other.pid), "--name", "xmessage"],
            capture_output=True, text=True).stdout.split(), "the other window")[0]
        xdotool("windowfocus", "--sync", window)
        self.run_.wait_rows(lambda r: len(r) == 2, "the file written on switching away")

    def test_signals_stop_and_save(self):
        for number in (signal.SIGTERM, signal.SIGINT, signal.SIGHUP):
            with self.subTest(signal=number.name):
                run = Run(self, FILE.replace("Alpha\t\t", "Alpha\t05/27 08:30\t"),
                          clock="2026-05-27 09:00:00")
                run.ready()
                run.process.send_signal(number)
                self.assertEqual(run.exit_status(), 0)
                self.assertEqual(run.rows()[0], ["Alpha", "05/27 08:30", "05/27 09:00", "0' 30\""])

    def test_signal_cancels_the_dialog_and_keeps_a_rename(self):
        run = self.run_
        run.click(PROJECT_X, ROW_Y[0])
        xdotool("key", "F2", "ctrl+a")
        xdotool("type", "--delay", 20, "Kept")
        run.process.send_signal(signal.SIGTERM)
        self.assertEqual(run.exit_status(), 0)
        self.assertEqual(run.rows()[0][0], "Kept")

        again = Run(self, FILE)
        again.ready()
        again.click(TOTAL_X, ROW_Y[1], double=True)
        xdotool("windowfocus", "--sync", again.window(DIALOG))
        xdotool("key", "ctrl+a")
        xdotool("type", "--delay", 20, "01/01 00:00")
        again.process.send_signal(signal.SIGTERM)
        self.assertEqual(again.exit_status(), 0)
        self.assertEqual(again.rows()[1], STOPPED.split("\t"))


if __name__ == "__main__":
    BINARY = os.path.abspath(sys.argv.pop(1))
    unittest.main(verbosity=2)
