#!/usr/bin/env python3
"""tallyfox on Qt's Wayland platform, in a headless weston of its own, where it can neither learn
nor set where its window is: the place read must be written back unchanged. Argument: the binary."""
import os, re, signal, subprocess, sys, tempfile, time, unittest
from pathlib import Path

BINARY = None
PLACE = "#windowpos 100\t120\t493\t233\n"
FILE = ("#version 1.5\n" + PLACE + "#columnwidths 35%,25%,25%,15%\n"
        "#saveditem Alpha\t05/27 08:30\t\t\n#saveditem Beta\t\t\t\n")


def wait_for(predicate, what, timeout=60.0):
    deadline = time.monotonic() + timeout
    while time.monotonic() < deadline:
        if value := predicate():
            return value
        time.sleep(0.05)
    raise AssertionError(f"timed out waiting for {what}")


class Wayland(unittest.TestCase):
    def test_the_place_read_is_written_back(self):
        # The runtime folder must be the user's own, mode 0700, or Qt and weston refuse it.
        runtime = self.enterContext(tempfile.TemporaryDirectory(prefix="tallyfox-wl-"))
        os.chmod(runtime, 0o700)
        env = {key: value for key, value in os.environ.items()
               if key not in ("DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM")}
        env.update(XDG_RUNTIME_DIR=runtime, TZ="UTC")
        weston = subprocess.Popen(["weston", "--backend=headless-backend.so", "--idle-time=0",
                                   "--socket=tallyfox-e2e"], env=env,
                                  stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        self.addCleanup(weston.wait, 10)
        self.addCleanup(weston.terminate)
        wait_for(lambda: os.path.exists(os.path.join(runtime, "tallyfox-e2e")), "weston's socket")
        home = self.enterContext(tempfile.TemporaryDirectory(prefix="tallyfox-e2e-"))
        prefs = Path(home, "config", "Tallyfox Prefs")
        prefs.parent.mkdir()
        prefs.write_text(FILE)
        # Its log (WAYLAND_DEBUG) holds the requests the program sends the compositor.
        output = self.enterContext(tempfile.NamedTemporaryFile(prefix="tallyfox-wl-log-"))
        process = subprocess.Popen(
            [BINARY], stdout=output, stderr=subprocess.STDOUT,
            env=dict(env, HOME=home, XDG_CONFIG_HOME=str(prefs.parent), QT_QPA_PLATFORM="wayland",
                     WAYLAND_DISPLAY="tallyfox-e2e", WAYLAND_DEBUG="client"))
        self.addCleanup(process.wait, 10)
        self.addCleanup(process.kill)
        log = lambda: Path(output.name).read_text(errors="replace")
        # The splash, a window of the main one's, shows and closes by itself.
        titled = wait_for(lambda: re.search(
            r"xdg_toplevel@(\d+)\.set_title\(\"About Tally Fox\"\)", log()), "the splash")
        about, since = titled[1], titled.end()
        self.assertRegex(log(), rf"-> xdg_toplevel@{about}\.set_parent\(xdg_toplevel@\d+\)")
        # Ids are reused: only a destroy after the title is the splash's.
        wait_for(lambda: f"xdg_toplevel@{about}.destroy()" in log()[since:], "the splash to close")

        # A signal stops the running row and saves: the place as the file had it.
        process.send_signal(signal.SIGTERM)
        self.assertEqual(process.wait(timeout=60), 0, log()[-2000:])
        text = prefs.read_text()
        self.assertIn(PLACE, text)
        self.assertRegex(text, r"#saveditem Alpha\t05/27 08:30\t\d\d/\d\d \d\d:\d\d\t")


if __name__ == "__main__":
    BINARY = os.path.abspath(sys.argv.pop(1))
    unittest.main(verbosity=2)
