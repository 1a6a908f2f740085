#!/usr/bin/env python3
"""The real tallyfox on an X server, driven with real X input (xdotool) and the clock fixed with
faketime: what the user sees and what lands in the file. Run under Xvfb, which must not reset:
  xvfb-run -a -s "-screen 0 1280x1024x24 -noreset" python3 e2e_app.py build/tallyfox
"""
import os, re, shutil, signal, socket, subprocess, sys, tempfile, time, unittest
from pathlib import Path

BINARY = None
FAKETIME = "/usr/lib/x86_64-linux-gnu/faketime/libfaketime.so.1"
MAIN, ABOUT, DIALOG = "^Tally Fox$", "^About Tally Fox$", "^Edit Start/Finish Times$"
# Places in the content area, below the menu bar: rows about 20 pixels high under a heading of
# about 20, starting 11 pixels down; the Start and Stop buttons 13 from the bottom.
ROW_Y, PROJECT_X, TOTAL_X, START, STOP = (40, 60, 80), 60, 440, (63, 209), (176, 209)
STOPPED = "Beta\t03/14 09:05\t03/14 10:35\t1' 30\""
FILE = ("#version 1.5\n#windowpos 100\t120\t493\t233\n#columnwidths 35%,25%,25%,15%\n"
        "#saveditem Alpha\t\t\t\n#saveditem " + STOPPED + "\n")


def xdotool(*args, check=True, display=None):
    return subprocess.run(["xdotool", *map(str, args)], check=check, capture_output=True,
                          text=True, timeout=20,
                          env=dict(os.environ, DISPLAY=display) if display else None).stdout.strip()


def find(name, pid=None):
    return (xdotool("search", "--all", "--onlyvisible", *(["--pid", pid] if pid else []),
                    "--name", name, check=False).split() or [None])[0]


def geometry(window):
    lines = xdotool("getwindowgeometry", "--shell", window).split()
    return {key: int(value) for key, value in (line.split("=") for line in lines)}


def wait_for(predicate, what, timeout=15.0):
    deadline = time.monotonic() + timeout
    while time.monotonic() < deadline:
        if value := predicate():
            return value
        time.sleep(0.02)  # xdotool's own --sync polls only twice a second
    raise AssertionError(f"timed out waiting for {what}")


def saved_rows(text):
    return [line[len("#saveditem "):].split("\t") for line in text.split("\n")
            if line.startswith("#saveditem ")]


class Run:
    """One run of the program with a HOME and configuration folder of its own."""

    def __init__(self, test, prefs=None, binary=None, clock=None, home=None, display=None,
                 before=None):
        self.home = home or test.enterContext(tempfile.TemporaryDirectory(
            prefix="tallyfox-e2e-", ignore_cleanup_errors=True))
        self.prefs, self.clock = os.path.join(self.home, "config", "Tallyfox Prefs"), clock
        os.makedirs(os.path.dirname(self.prefs), exist_ok=True)
        if prefs is not None:
            Path(self.prefs).write_text(prefs)
        env = dict(os.environ, HOME=self.home, XDG_CONFIG_HOME=os.path.dirname(self.prefs),
                   QT_QPA_PLATFORM="xcb", TZ="UTC", DISPLAY=display or os.environ["DISPLAY"])
        if before:
            before(self)
        if clock:
            self.clock = os.path.join(self.home, "clock")
            self.set_clock(clock)
            # Files keep their real times: faked ones would move as the clock is set, and the
            # program would take its own file for one changed by another.
            env.update(LD_PRELOAD=FAKETIME, FAKETIME_TIMESTAMP_FILE=self.clock,
                       FAKETIME_NO_CACHE="1", FAKETIME_DONT_FAKE_MONOTONIC="1", NO_FAKE_STAT="1",
                       ASAN_OPTIONS=env.get("ASAN_OPTIONS", "") + ":verify_asan_link_order=0")
        self.log = test.enterContext(tempfile.TemporaryFile())
        self.process = subprocess.Popen([binary or BINARY], env=env, stdout=self.log,
                                        stderr=subprocess.STDOUT)
        test.addCleanup(self.process.wait, 10)
        test.addCleanup(self.process.kill)

    def set_clock(self, stamp):
        Path(self.clock).write_text(stamp + "\n")

    def exit_status(self, sent=None):
        if sent:
            self.process.send_signal(sent)
        try:
            return self.process.wait(timeout=15)
        except subprocess.TimeoutExpired:
            self.log.seek(0)
            raise AssertionError("still running: " + self.log.read().decode(errors="replace"))

    def find(self, name):
        return find(name, self.process.pid)

    def window(self, name):
        return wait_for(lambda: self.find(name), f"a window named {name}")

    def ready(self):
        """The main window, once the splash has gone and the window has the keyboard."""
        self.main = self.window(MAIN)
        wait_for(lambda: not self.find(ABOUT), "the splash to close")
        wait_for(lambda: xdotool("getwindowfocus") == self.main, "the main window's focus")
        # Every run here keeps the laid-out content height; what the window has above it is menu.
        self.menu_bar = geometry(self.main)["HEIGHT"] - 233
        return self.main

    def click(self, x, y, double=False):
        xdotool("mousemove", "--window", self.main, x, y + self.menu_bar)
        xdotool("click", *(["--repeat", 2, "--delay", 80] if double else []), 1)

    def type_over(self, text, *keys):
        """Presses the keys given, then types over all of the focused field's text."""
        xdotool("key", *keys, "ctrl+a")
        xdotool("type", "--delay", 20, text)

    def text(self):
        return Path(self.prefs).read_text(encoding="utf-8", errors="surrogateescape")

    def rows(self):
        return saved_rows(self.text()) if os.path.exists(self.prefs) else []

    def wait_rows(self, check, what):
        return wait_for(lambda: (lambda rows: rows if check(rows) else None)(self.rows()), what)


class StartUp(unittest.TestCase):
    def test_first_run_without_a_file(self):
        run = Run(self)
        # Quit acts with the splash in front, unless the splash was quicker to close itself.
        xdotool("windowfocus", "--sync", run.window(ABOUT), check=False)
        xdotool("key", "ctrl+q")
        self.assertEqual(run.exit_status(), 0)
        self.assertNotIn("#saveditem", run.text())  # written at quitting, without a row

    def test_the_window_is_in_place_before_the_splash(self):
        run = Run(self, FILE)
        about = run.window(ABOUT)
        # A dialog of the main window, so that a window manager keeps it above that window.
        hints = subprocess.run(["xprop", "-id", about, "WM_TRANSIENT_FOR", "_NET_WM_WINDOW_TYPE"],
                               capture_output=True, text=True, timeout=20).stdout
        self.assertRegex(hints, r"TYPE\(ATOM\) = _NET_WM_WINDOW_TYPE_DIALOG\b")
        self.assertEqual(int(re.search(r"window id # (0x[0-9a-f]+)", hints)[1], 16),
                         int(run.window(MAIN)))
        place = geometry(run.window(MAIN))
        # The content area, below the menu bar, is where the file put it.
        self.assertEqual((place["X"], place["WIDTH"], place["Y"] + place["HEIGHT"]),
                         (100, 493, 120 + 233))

    def test_missing_resource_store(self):
        folder = self.enterContext(tempfile.TemporaryDirectory())
        run = Run(self, FILE, binary=shutil.copy(BINARY, folder))
        box = run.window(MAIN)
        self.assertLess(geometry(box)["WIDTH"], 493)  # the message, not the main window
        xdotool("windowfocus", "--sync", box)
        xdotool("key", "Return")
        self.assertEqual(run.exit_status(), 0)
        self.assertEqual(run.text(), FILE)

    def test_one_copy_per_file_and_side_by_side(self):
        home = self.enterContext(tempfile.TemporaryDirectory(ignore_cleanup_errors=True))
        os.makedirs(os.path.join(home, "config"))
        # A lock left behind on a machine that shares the folder: nobody answers for it.
        Path(home, "config", "Tallyfox Prefs.lock").write_text("4194000\ntallyfox\nelsewhere\n")
        first = Run(self, FILE, home=home)
        first.ready()
        # Only a window manager minimises a window; this one goes with the test.
        manager = subprocess.Popen(["openbox", "--sm-disable"], stderr=subprocess.DEVNULL)
        self.addCleanup(manager.wait, 10)
        self.addCleanup(manager.kill)
        wait_for(lambda: "Normal" in subprocess.run(["xprop", "-id", first.main, "WM_STATE"],
                 capture_output=True, text=True, timeout=20).stdout, "the window managed")
        xdotool("windowminimize", "--sync", first.main)
        wait_for(lambda: not first.find(MAIN), "the window minimised")
        self.assertEqual(Run(self, home=first.home).exit_status(), 0)
        wait_for(lambda: first.find(MAIN), "the first copy's window back from the minimised")
        self.assertIsNone(first.process.poll())
        self.assertEqual(first.text(), FILE)
        Run(self).window(MAIN)  # another file: a copy of its own, side by side

    def test_a_lock_whose_holder_does_not_answer(self):
        home = self.enterContext(tempfile.TemporaryDirectory(ignore_cleanup_errors=True))
        os.makedirs(os.path.join(home, "config"))
        # Held by a live process of this machine (this one) that answers on no socket.
        Path(home, "config", "Tallyfox Prefs.lock").write_text(
            f"{os.getpid()}\n{Path(sys.executable).resolve().name}\n{socket.gethostname()}\n")
        run = Run(self, home=home)
        box = run.window(MAIN)
        self.assertRegex(subprocess.run(["xprop", "-id", box, "_NET_WM_WINDOW_TYPE"],  # a message
                                        capture_output=True, text=True, timeout=20).stdout,
                         r"_NET_WM_WINDOW_TYPE_DIALOG\b")
        xdotool("windowfocus", "--sync", box)
        xdotool("key", "Return")
        self.assertEqual(run.exit_status(), 1)


class Commands(unittest.TestCase):
    def setUp(self):
        self.run_ = Run(self, FILE, clock="2026-05-27 09:00:00")
        self.run_.ready()

    def test_start_stop_new_projects_and_quit(self):
        run = self.run_
        run.click(PROJECT_X, ROW_Y[0])
        run.click(*START)
        run.wait_rows(lambda r: r[0] == ["Alpha", "05/27 09:00", "", ""], "a started row")
        run.set_clock("2026-05-27 10:25:40")
        run.click(*STOP)
        run.wait_rows(lambda r: r[0][2:] == ["05/27 10:25", "1' 25\""], "85 minutes, exactly")
        xdotool("key", "Return")  # the stopped row is still selected: Return edits it
        dialog = run.window(DIALOG)
        size = geometry(dialog)  # Cancel sits left of OK, in the bottom right corner
        xdotool("mousemove", "--window", dialog, size["WIDTH"] - 125, size["HEIGHT"] - 28)
        xdotool("click", 1)
        wait_for(lambda: not run.find(DIALOG), "the dialog closed by its Cancel button")
        xdotool("windowfocus", "--sync", run.main)  # no window manager here hands it back
        xdotool("key", "ctrl+n", "ctrl+n")
        run.wait_rows(lambda r: [row[0] for row in r][2:] ==
                      ["Untitled project 1", "Untitled project 2"], "two new rows")
        run.click(TOTAL_X, ROW_Y[2], double=True)
        run.wait_rows(lambda r: r[2][1] == "05/27 10:25", "the new row started")
        run.click(TOTAL_X, ROW_Y[2] + 20)
        xdotool("key", "Delete")
        run.wait_rows(lambda r: len(r) == 3, "the last row removed with the Delete key")
        run.set_clock("2026-05-27 10:40:00")
        xdotool("key", "ctrl+q")
        self.assertEqual(run.exit_status(), 0)
        self.assertEqual(run.rows()[2][1:], ["05/27 10:25", "05/27 10:40", "0' 15\""])

    def test_switching_away_saves(self):
        os.remove(self.run_.prefs)
        other = subprocess.Popen(["xmessage", "-geometry", "+700+600", "elsewhere"])
        self.addCleanup(other.wait)
        self.addCleanup(other.kill)
        xdotool("windowfocus", "--sync", wait_for(lambda: find("xmessage"), "the other window"))
        self.run_.wait_rows(lambda r: len(r) == 2, "the file written on switching away")

    def test_signals_stop_and_save(self):
        for number in (signal.SIGTERM, signal.SIGINT, signal.SIGHUP):
            with self.subTest(signal=number.name):
                run = Run(self, FILE.replace("Alpha\t\t", "Alpha\t05/27 08:30\t"),
                          clock="2026-05-27 09:00:00")
                run.ready()
                self.assertEqual(run.exit_status(sent=number), 0)
                self.assertEqual(run.rows()[0], ["Alpha", "05/27 08:30", "05/27 09:00", "0' 30\""])

    def test_signal_cancels_the_dialog_and_keeps_a_rename(self):
        run = self.run_
        run.click(PROJECT_X, ROW_Y[0])
        run.type_over("Kept", "F2")
        self.assertEqual(run.exit_status(sent=signal.SIGTERM), 0)
        self.assertEqual(run.rows()[0][0], "Kept")
        again = Run(self, FILE)
        again.ready()
        again.click(TOTAL_X, ROW_Y[1], double=True)  # a stopped row: the dialog opens
        xdotool("windowfocus", "--sync", again.window(DIALOG))
        again.type_over("01/01 00:00")
        self.assertEqual(again.exit_status(sent=signal.SIGTERM), 0)
        self.assertEqual(again.rows()[1], STOPPED.split("\t"))

    def test_a_second_start_brings_the_dialog_above_the_window(self):
        run = self.run_
        run.click(TOTAL_X, ROW_Y[1], double=True)  # a stopped row: the dialog opens
        dialog = int(run.window(DIALOG))
        xdotool("windowraise", run.main)  # the blocked window over its dialog
        self.assertGreater(stacking().index(int(run.main)), stacking().index(dialog))
        self.assertEqual(Run(self, home=run.home).exit_status(), 0)
        wait_for(lambda: stacking().index(dialog) > stacking().index(int(run.main)),
                 "the dialog above the main window")


class TimeAway(unittest.TestCase):
    def test_time_away_taken_off(self):
        # Running for ten minutes, and away after one minute without input.
        began, stamp = time.time() - 600, lambda t: time.strftime("%m/%d %H:%M", time.gmtime(t))
        start = stamp(began)
        run = Run(self, FILE.replace("15%\n", "15%\n#idleminutes 1\n")
                  .replace("Alpha\t\t", f"Alpha\t{start}\t"))
        run.ready()
        xdotool("key", "shift")  # away from now on, whatever input came before
        time.sleep(70)  # the idle time must really pass: the server counts it
        xdotool("key", "shift")
        question = wait_for(lambda: next((w for w in xdotool(
            "search", "--all", "--onlyvisible", "--pid", run.process.pid, "--name", MAIN,
            check=False).split() if w != run.main), None), "the question", timeout=20)
        xdotool("windowfocus", "--sync", question)
        xdotool("key", "Tab", "space")  # from the default Keep the Time to Take It Off
        moved = run.wait_rows(lambda r: r[0][1] != start, "Start moved")[0][1]
        self.assertIn(moved, (stamp(began + 60), stamp(began + 120)))  # 70 s on the clock
        xdotool("windowfocus", "--sync", run.main)
        xdotool("key", "ctrl+q")
        self.assertEqual(run.exit_status(), 0)
        self.assertEqual(run.rows()[0][1], moved)


class FailedSaves(unittest.TestCase):
    """A list that cannot be saved is never lost in silence, and a lost display still saves."""
    RUNNING = FILE.replace("Alpha\t\t", "Alpha\t05/27 08:30\t")
    ROWS = [["Alpha", "05/27 08:30", "05/27 09:00", "0' 30\""], STOPPED.split("\t")]

    def test_failed_saves(self):
        for name, before, after in (  # before the start, or once ready
                ("read-only folder", lambda run: os.chmod(os.path.dirname(run.prefs), 0o500), None),
                ("a folder in place", None, lambda run: os.remove(run.prefs) or os.mkdir(run.prefs))):
            with self.subTest(name):
                if before and os.geteuid() == 0:
                    continue  # root ignores permission bits
                run = Run(self, self.RUNNING, clock="2026-05-27 09:00:00", before=before)
                if after:  # the message comes with the change
                    run.ready()
                    after(run)
                    xdotool("key", "ctrl+n")
                wait_for(lambda: len(xdotool("search", "--all", "--onlyvisible", "--pid", run.process
                         .pid, "--name", MAIN, check=False).split()) == 2, "the message as well")
                if before:  # the file as it was
                    self.assertEqual(run.text(), self.RUNNING)
                self.assertEqual(run.exit_status(sent=signal.SIGTERM), 0)
                os.chmod(os.path.dirname(run.prefs), 0o700)
                copy = next(Path(run.home, ".local/state/tallyfox").glob("* (unsaved *"))
                self.assertEqual(saved_rows(copy.read_text()), self.ROWS + (
                    [] if before else [["Untitled project 1", "", "", ""]]))

    def test_display_lost_while_a_row_runs(self):
        read, write = os.pipe()
        xvfb = subprocess.Popen(["Xvfb", "-displayfd", str(write), "-nolisten", "tcp"],
                                pass_fds=[write], stderr=subprocess.DEVNULL)
        self.addCleanup(xvfb.wait, 10)
        self.addCleanup(xvfb.kill)
        display = ":" + os.read(read, 16).decode().strip()
        run = Run(self, self.RUNNING, clock="2026-05-27 09:00:00", display=display)
        wait_for(lambda: xdotool("search", "--onlyvisible", "--name", MAIN, check=False,
                                 display=display), "the window on a display of its own")
        xvfb.kill()
        self.assertEqual(run.exit_status(), 1)
        self.assertEqual(run.rows()[0], self.ROWS[0])
        self.assertFalse(os.path.exists(run.prefs + ".lock"))


def stacking():
    """The top-level windows, bottom first: without a window manager, the root's children, which
    xwininfo lists top first."""
    tree = subprocess.run(["xwininfo", "-root", "-children"], check=True, capture_output=True,
                          text=True, timeout=20).stdout
    return [int(window, 16) for window in re.findall(r"^\s+(0x[0-9a-f]+)", tree, re.M)][::-1]


@unittest.skipUnless(shutil.which("trayer"), "trayer gives the X server a tray")
class TrayIcon(unittest.TestCase):
    def test_the_icon_menu_stops_a_row_and_quits(self):
        tray = subprocess.Popen(["trayer", "--SetDockType", "true"], stderr=subprocess.DEVNULL)
        self.addCleanup(tray.wait)
        self.addCleanup(tray.kill)
        # The program looks for a tray once, at start-up.
        wait_for(lambda: xdotool("search", "--onlyvisible", "--class", "^trayer$", check=False),
                 "the tray")
        run = Run(self, FILE + "#saveditem Client letter\t05/27 08:00\t\t\n"
                  "#saveditem Other\t05/27 09:00\t\t\n", clock="2026-05-27 09:25:00")
        run.ready()
        # The icon's window has no process id for xdotool to go by: the one small window of ours.
        icon = wait_for(lambda: next((window for window, width in re.findall(
            r'(0x[0-9a-f]+) "Tally Fox": \("tallyfox" "Tally Fox"\)\s+(\d+)x', subprocess.run(
                ["xwininfo", "-root", "-tree"], capture_output=True, text=True).stdout)
            if int(width) < 64), None), "the icon in the tray")

        def choose(*keys):
            xdotool("mousemove", "--window", icon, 5, 5)
            xdotool("click", 3)
            time.sleep(0.5)  # the menu takes the keyboard once it shows
            xdotool("key", "--delay", 100, *keys)

        choose("Down", "Return")  # the first item: Stop Client letter
        run.wait_rows(lambda r: r[2] == ["Client letter", "05/27 08:00", "05/27 09:25", "1' 25\""]
                      and r[3][2:] == ["", ""], "the first running row stopped, the other not")
        run.set_clock("2026-05-27 09:40:00")
        choose("Up", "Return")  # the last item: Quit, which stops the other row and saves
        self.assertEqual(run.exit_status(), 0)
        self.assertEqual(run.rows()[2:], [
            ["Client letter", "05/27 08:00", "05/27 09:25", "1' 25\""],
            ["Other", "05/27 09:00", "05/27 09:40", "0' 40\""]])


class CommandLine(unittest.TestCase):
    """Each option answered with no display at all: no window, and the configuration folder as
    it was. Were the application object made first, Qt would abort for want of a display."""

    USAGE, VERSION = r"^Usage: tallyfox \[options\]\n", r"^Tally Fox \d+\.\d+\.\d+\n\Z"
    HINT = r"\nTry 'tallyfox --help' for more information\.\n\Z"
    ROWS = (  # arguments, exit status, stdout, stderr (patterns)
        (["--help"], 0, USAGE, r"^\Z"),
        (["--version"], 0, VERSION, r"^\Z"),
        (["-style", "fusion", "-reverse", "-v"], 0, VERSION, r"^\Z"),  # Qt's own are left to Qt
        (["--bogus"], 2, r"^\Z", r"^tallyfox: Unknown option 'bogus'\." + HINT),
        (["-bogus"], 2, r"^\Z", r"^tallyfox: Unknown option 'bogus'\." + HINT),
        (["notes.txt"], 2, r"^\Z", r"^tallyfox: Unexpected argument 'notes.txt'\." + HINT),
    )

    def test_options(self):
        for arguments, status, out, err in self.ROWS:
            with self.subTest(arguments=arguments), tempfile.TemporaryDirectory() as config:
                Path(config, "Tallyfox Prefs").write_text(FILE)
                env = dict(os.environ, HOME=config, XDG_CONFIG_HOME=config, QT_QPA_PLATFORM="xcb")
                env.pop("DISPLAY", None), env.pop("WAYLAND_DISPLAY", None)
                result = subprocess.run([BINARY, *arguments], env=env, capture_output=True,
                                        text=True, timeout=20)
                self.assertEqual(result.returncode, status, result.stderr)
                self.assertRegex(result.stdout, out)
                self.assertRegex(result.stderr, err)
                self.assertEqual(os.listdir(config), ["Tallyfox Prefs"])
                self.assertEqual(Path(config, "Tallyfox Prefs").read_text(), FILE)


if __name__ == "__main__":
    BINARY = os.path.abspath(sys.argv.pop(1))
    unittest.main(verbosity=2)
