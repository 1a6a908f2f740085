#!/usr/bin/env python3
"""The real tallyfox, driven with real X input (xdotool), its clock set by faketime. Under an Xvfb
that must not reset: xvfb-run -a -s "-screen 0 1280x1024x24 -noreset" python3 e2e_app.py BINARY"""
import os, re, shutil, signal, socket, subprocess, sys, tempfile, time, unittest
from pathlib import Path

BINARY = None
FAKETIME = "/usr/lib/x86_64-linux-gnu/faketime/libfaketime.so.1"
MAIN, ABOUT, DIALOG = "^Tally Fox$", "^About Tally Fox$", "^Edit Start/Finish Times$"
STOPPED = "Beta\t03/14 09:05\t03/14 10:35\t1' 30\""
FILE = ("#version 1.5\n#windowpos 100\t120\t493\t233\n#columnwidths 35%,25%,25%,15%\n"
        "#saveditem Alpha\t\t\t\n#saveditem " + STOPPED + "\n")
RUNNING, NINE = FILE.replace("Alpha\t\t", "Alpha\t05/27 08:30\t"), "2026-05-27 09:00:00"
RAN = ["Alpha", "05/27 08:30", "05/27 09:00", "0' 30\""]  # RUNNING stopped at NINE


def output(*command, **options):
    return subprocess.run(list(map(str, command)), capture_output=True, text=True, timeout=20,
                          **options).stdout


def xdotool(*args, check=True, display=None):
    return output("xdotool", *args, check=check,
                  env=dict(os.environ, DISPLAY=display) if display else None).strip()


def windows(name, pid=None):
    return xdotool("search", "--all", "--onlyvisible", *(["--pid", pid] if pid else []),
                   "--name", name, check=False).split()


def press(window, *keys, check=True):
    xdotool("windowfocus", "--sync", window, check=check)
    xdotool("key", *keys)


def start(test, *command, **options):
    process = subprocess.Popen(list(map(str, command)), **options)
    test.addCleanup(process.wait, 10)
    test.addCleanup(process.kill)
    return process


def geometry(window):
    return {key: int(value) for key, value in re.findall(
        r"(\w+)=(\d+)", xdotool("getwindowgeometry", "--shell", window))}


def wait_for(predicate, what, timeout=15.0):
    deadline = time.monotonic() + timeout
    while time.monotonic() < deadline:
        if value := predicate():
            return value
        time.sleep(0.02)  # xdotool's own --sync polls only twice a second
    raise AssertionError(f"timed out waiting for {what() if callable(what) else what}")


def saved_rows(text):
    return [line.split("\t") for line in re.findall(r"^#saveditem (.*)$", text, re.M)]


class Run:
    """One run of the program with a HOME and configuration folder of its own."""

    def __init__(self, test, prefs=None, binary=None, clock=None, home=None, before=None, **env):
        self.home = home or test.enterContext(tempfile.TemporaryDirectory(
            prefix="tallyfox-e2e-", ignore_cleanup_errors=True))
        self.prefs = os.path.join(self.home, "config", "Tallyfox Prefs")
        self.clock = os.path.join(self.home, "clock")
        os.makedirs(os.path.dirname(self.prefs), exist_ok=True)
        if prefs is not None:
            Path(self.prefs).write_text(prefs)
        env = dict(dict(os.environ, HOME=self.home, XDG_CONFIG_HOME=os.path.dirname(self.prefs),
                        QT_QPA_PLATFORM="xcb", TZ="UTC"), **env)
        if before:
            before(self)
        if clock:
            Path(self.clock).write_text(clock + "\n")
            # Real file times: faked ones would make the program take its own file for another's.
            env.update(LD_PRELOAD=FAKETIME, FAKETIME_TIMESTAMP_FILE=self.clock,
                       FAKETIME_NO_CACHE="1", FAKETIME_DONT_FAKE_MONOTONIC="1", NO_FAKE_STAT="1",
                       ASAN_OPTIONS=env.get("ASAN_OPTIONS", "") + ":verify_asan_link_order=0")
        self.log = test.enterContext(tempfile.NamedTemporaryFile(prefix="tallyfox-log-"))
        self.process = start(test, binary or BINARY, env=env, stdout=self.log,
                             stderr=subprocess.STDOUT)

    def output(self):
        return Path(self.log.name).read_text(errors="replace")

    def exit_status(self, sent=None, timeout=15):
        if sent:
            self.process.send_signal(sent)
        try:
            return self.process.wait(timeout=timeout)
        except subprocess.TimeoutExpired:
            raise AssertionError("still running: " + self.output()[-4000:])

    def find(self, name):
        return (windows(name, self.process.pid) or [None])[0]

    def window(self, name):
        return wait_for(lambda: self.find(name), f"a window named {name}")

    def ready(self):
        self.main = self.window(MAIN)
        wait_for(lambda: not self.find(ABOUT), "the splash to close")
        wait_for(lambda: xdotool("getwindowfocus") == self.main, "the main window's focus")
        return self

    def text(self):
        return Path(self.prefs).read_text(encoding="utf-8", errors="surrogateescape")

    def rows(self):
        return saved_rows(self.text()) if os.path.exists(self.prefs) else []

    def wait_rows(self, check, what):
        return wait_for(lambda: (lambda rows: rows if check(rows) else None)(self.rows()), what)


class StartUp(unittest.TestCase):
    def test_the_window_in_place_before_the_splash_then_one_copy_per_file(self):
        # A lock left behind on a machine that shares the folder: nobody answers for it.
        first = Run(self, FILE, before=lambda run: Path(run.prefs + ".lock").write_text(
            "4194000\ntallyfox\nelsewhere\n"))
        about, main = first.window(ABOUT), first.window(MAIN)
        # A dialog, so that a window manager keeps it above the main window (its parent: Wayland).
        hints = output("xprop", "-id", about, "_NET_WM_WINDOW_TYPE")
        self.assertRegex(hints, r"TYPE\(ATOM\) = _NET_WM_WINDOW_TYPE_DIALOG\b")
        place = geometry(main)  # the content area, below the menu bar, where the file put it
        self.assertEqual((place["X"], place["WIDTH"], place["Y"] + place["HEIGHT"]),
                         (100, 493, 120 + 233))
        first.ready()
        start(self, "openbox", "--sm-disable", stderr=subprocess.DEVNULL)  # it minimises windows
        wait_for(lambda: "Normal" in output("xprop", "-id", first.main, "WM_STATE"), "managed")
        xdotool("windowminimize", "--sync", first.main)
        wait_for(lambda: not first.find(MAIN), "the window minimised")
        self.assertEqual(Run(self, home=first.home).exit_status(), 0)
        wait_for(lambda: first.find(MAIN), "the first copy's window back from the minimised")
        self.assertEqual(first.text(), FILE)
        Run(self).window(MAIN)  # another file: a copy of its own, side by side

    def test_a_box_then_the_end(self):
        # A lock held by a live process of this machine (this one) that answers on no socket.
        holder = f"{os.getpid()}\n{Path(sys.executable).resolve().name}\n{socket.gethostname()}\n"
        for name, options, title, key, status, fine in (  # fine: the file left at the end
                ("first run, Quit with the splash in front", {}, ABOUT, "ctrl+q", 0,
                 lambda text: "#saveditem" not in text),  # written at quitting, without a row
                ("no resource store", dict(prefs=FILE, binary=shutil.copy(BINARY, self.enterContext(
                    tempfile.TemporaryDirectory()))), MAIN, "Return", 0, lambda text: text == FILE),
                ("a lock whose holder does not answer", dict(before=lambda run: Path(
                    run.prefs + ".lock").write_text(holder)), MAIN, "Return", 1, None)):
            with self.subTest(name):
                run = Run(self, **options)
                # The splash may close itself before the key comes.
                press(run.window(title), key, check=title == MAIN)
                self.assertEqual(run.exit_status(), status)
                self.assertTrue(not fine or fine(run.text()), run.text() if fine else "")


class Commands(unittest.TestCase):
    def setUp(self):
        self.run_ = Run(self, FILE, clock=NINE).ready()

    def test_switching_away_saves(self):
        os.remove(self.run_.prefs)
        start(self, "xmessage", "-geometry", "+700+600", "elsewhere")
        xdotool("windowfocus", "--sync", wait_for(lambda: windows("xmessage"), "the other")[0])
        self.run_.wait_rows(lambda r: len(r) == 2, "the file written on switching away")

    def test_a_second_start_raises_the_dialog_and_a_signal_cancels_it(self):
        # A stopped row's Total, so the dialog opens: rows 20 high under a 20 high heading, below
        # the menu bar (what the window has above its laid-out content height, 233).
        y = 60 + geometry(self.run_.main)["HEIGHT"] - 233
        xdotool("mousemove", "--window", self.run_.main, 440, y,
                "click", "--repeat", 2, "--delay", 80, 1)
        dialog = int(self.run_.window(DIALOG))
        xdotool("windowraise", self.run_.main)  # the blocked window over its dialog
        self.assertGreater(stacking().index(int(self.run_.main)), stacking().index(dialog))
        self.assertEqual(Run(self, home=self.run_.home).exit_status(), 0)
        wait_for(lambda: stacking().index(dialog) > stacking().index(int(self.run_.main)),
                 "the dialog above the main window")
        xdotool("windowfocus", "--sync", dialog)
        xdotool("key", "ctrl+a")  # over the whole Start field
        xdotool("type", "--delay", 20, "01/01 00:00")
        self.assertEqual(self.run_.exit_status(sent=signal.SIGTERM), 0)
        self.assertEqual(self.run_.rows()[1], STOPPED.split("\t"))


class TimeAway(unittest.TestCase):
    def test_time_away_taken_off(self):
        # Running for ten minutes, and away after one minute without input.
        began, stamp = time.time() - 600, lambda t: time.strftime("%m/%d %H:%M", time.gmtime(t))
        start = stamp(began)
        run = Run(self, FILE.replace("15%\n", "15%\n#idleminutes 1\n")
                  .replace("Alpha\t\t", f"Alpha\t{start}\t")).ready()
        xdotool("key", "shift")  # away from now on, whatever input came before
        time.sleep(70)  # the idle time must really pass: the server counts it
        xdotool("key", "shift")
        question = wait_for(lambda: next((w for w in windows(MAIN, run.process.pid)
                                          if w != run.main), None), "the question", timeout=20)
        press(question, "Tab", "space")  # from the default Keep the Time to Take It Off
        moved = run.wait_rows(lambda r: r[0][1] != start, "Start moved")[0][1]
        self.assertIn(moved, (stamp(began + 60), stamp(began + 120)))  # 70 s on the clock
        press(run.main, "ctrl+q")
        self.assertEqual(run.exit_status(), 0)
        self.assertEqual(run.rows()[0][1], moved)


class Endings(unittest.TestCase):
    """A running row stopped and saved at any end; a list that cannot be saved never lost."""

    def test_failed_saves(self):
        for name, before, after in (  # before the start, or once ready (then a change to save)
                ("read-only folder", lambda run: os.chmod(os.path.dirname(run.prefs), 0o500), None),
                ("a folder in place", None, lambda run: run.ready() and (
                    os.remove(run.prefs), os.mkdir(run.prefs), xdotool("key", "ctrl+n")))):
            with self.subTest(name):
                if before and os.geteuid() == 0:
                    continue  # root ignores permission bits
                run = Run(self, RUNNING, clock=NINE, before=before)
                if after:
                    after(run)
                wait_for(lambda: len(windows(MAIN, run.process.pid)) == 2, "the message as well")
                self.assertTrue(not before or run.text() == RUNNING, "the file as it was")
                self.assertEqual(run.exit_status(sent=signal.SIGTERM), 0)
                os.chmod(os.path.dirname(run.prefs), 0o700)
                copy = next(Path(run.home, ".local/state/tallyfox").glob("* (unsaved *"))
                self.assertEqual(saved_rows(copy.read_text()), [RAN, STOPPED.split("\t")] + (
                    [] if before else [["Untitled project 1", "", "", ""]]))

    def test_signals_and_a_lost_display_stop_and_save(self):
        for end in (signal.SIGTERM, signal.SIGINT, signal.SIGHUP, None):  # None: the display lost
            with self.subTest(end=end and end.name):
                # Without -noreset the server resets whenever its last client leaves, as each
                # xdotool below does, and refuses whoever connects meanwhile: now and then, us.
                read, write = os.pipe()
                xvfb = start(self, "Xvfb", "-displayfd", write, "-nolisten", "tcp", "-noreset",
                             pass_fds=[write], stderr=subprocess.DEVNULL)
                os.close(write)
                self.addCleanup(os.close, read)  # open while the server runs: it may write again
                display = ":" + os.read(read, 16).decode().strip()
                run = Run(self, RUNNING, clock=NINE, DISPLAY=display)
                wait_for(lambda: xdotool("search", "--onlyvisible", "--name", MAIN, check=False,
                                         display=display), lambda: "the window on a display of its"
                         f" own, {display}: {run.process.poll()} {run.output()[-4000:]}",
                         timeout=40)  # a new server, and the program, under the sanitizers
                if not end:
                    xvfb.kill()
                self.assertEqual(run.exit_status(sent=end), 0 if end else 1, run.output())
                self.assertEqual(run.rows()[0], RAN)
                self.assertFalse(os.path.exists(run.prefs + ".lock"))


def stacking():
    """The top-level windows, bottom first (the root's children, without a window manager)."""
    return [int(window, 16) for window in re.findall(
        r"^\s+(0x[0-9a-f]+)", output("xwininfo", "-root", "-children", check=True), re.M)][::-1]


@unittest.skipUnless(shutil.which("trayer"), "trayer gives the X server a tray")
class TrayIcon(unittest.TestCase):
    def test_the_icon_menu_stops_a_row_and_quits(self):
        run = Run(self, FILE + "#saveditem Client letter\t05/27 08:00\t\t\n"
                  "#saveditem Other\t05/27 09:00\t\t\n", clock="2026-05-27 09:25:00").ready()
        start(self, "trayer", "--SetDockType", "true", stderr=subprocess.DEVNULL)  # a tray to come
        # The icon's window has no process id for xdotool to go by: the one small window of ours.
        icon = wait_for(lambda: next((window for window, width in re.findall(
            r'(0x[0-9a-f]+) "Tally Fox": \("tallyfox" "Tally Fox"\)\s+(\d+)x',
            output("xwininfo", "-root", "-tree")) if int(width) < 64), None), "the tray icon")
        choose = lambda *keys: xdotool("mousemove", "--window", icon, 5, 5, "click", 3,
                                       "sleep", 0.5, "key", "--delay", 100, *keys)  # menu shown
        choose("Down", "Return")  # the first item: Stop Client letter
        letter = ["Client letter", "05/27 08:00", "05/27 09:25", "1' 25\""]
        run.wait_rows(lambda r: r[2] == letter and r[3][2:] == ["", ""], "the first row stopped")
        Path(run.clock).write_text("2026-05-27 09:40:00\n")
        choose("Up", "Return")  # the last item: Quit, which stops the other row and saves
        self.assertEqual(run.exit_status(), 0)
        self.assertEqual(run.rows()[2:],
                         [letter, ["Other", "05/27 09:00", "05/27 09:40", "0' 40\""]])


class Wayland(unittest.TestCase):
    """On Wayland the program can neither learn nor set its window's place: the one read is kept."""

    def test_the_place_read_is_written_back(self):
        # A runtime folder of the user's own, mode 0700 (as made here), or Qt and weston refuse it.
        runtime = self.enterContext(tempfile.TemporaryDirectory(prefix="tallyfox-wl-"))
        start(self, "weston", "--backend=headless-backend.so", "--idle-time=0",
              "--socket=tallyfox-e2e", env=dict(os.environ, XDG_RUNTIME_DIR=runtime),
              stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        wait_for(lambda: os.path.exists(os.path.join(runtime, "tallyfox-e2e")), "weston", 60)
        run = Run(self, RUNNING, DISPLAY="", XDG_RUNTIME_DIR=runtime, QT_QPA_PLATFORM="wayland",
                  WAYLAND_DISPLAY="tallyfox-e2e", WAYLAND_DEBUG="client")  # requests to the log
        # The splash, a window of the main one's, shows and closes by itself.
        titled = wait_for(lambda: re.search(r"xdg_toplevel@(\d+)\.set_title\(\"About Tally Fox\"\)",
                                            run.output()), "the splash", 60)
        about, since = titled[1], titled.end()
        self.assertRegex(run.output(), rf"-> xdg_toplevel@{about}\.set_parent\(xdg_toplevel@\d+\)")
        # Ids are reused: only a destroy after the title is the splash's.
        wait_for(lambda: f"xdg_toplevel@{about}.destroy()" in run.output()[since:],
                 "the splash to close", 60)
        # A signal saves: the place as the file had it.
        self.assertEqual(run.exit_status(sent=signal.SIGTERM, timeout=60), 0)
        self.assertIn("#windowpos 100\t120\t493\t233\n", run.text())


class CommandLine(unittest.TestCase):
    """Each option answered with no display at all (where Qt would abort), the folder untouched."""

    VERSION = r"^Tally Fox \d+\.\d+\.\d+\n\Z"
    HINT = r"\nTry 'tallyfox --help' for more information\.\n\Z"
    ROWS = (  # arguments, exit status, stdout, stderr (patterns)
        (["--help"], 0, r"^Usage: tallyfox \[options\]\n", r"^\Z"),
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
