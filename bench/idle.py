#!/usr/bin/env python3
"""CPU the whole program spends when nobody uses it, under X: with the about box closed (no
timer should run) and with it open (the credits strip moves every 20 ms). CPU time is read in
nanoseconds from every thread's /proc/<pid>/task/*/schedstat.

    xvfb-run -a -s -noreset python3 bench/idle.py build [seconds]
"""
import glob
import os
import shutil
import subprocess
import sys
import tempfile
import time


def cpu_ns(pid):
    return sum(int(open(path).read().split()[0])
               for path in glob.glob(f"/proc/{pid}/task/*/schedstat"))


def find(pid, name):
    return subprocess.run(["xdotool", "search", "--all", "--onlyvisible", "--pid", str(pid), "--name",
                           name], capture_output=True, text=True).stdout.split()


def wait_for(check, what):
    deadline = time.monotonic() + 20
    while not check():
        if time.monotonic() > deadline:
            sys.exit(f"timed out waiting for {what}")
        time.sleep(0.02)


def spent(pid, seconds):
    before = cpu_ns(pid)
    time.sleep(seconds)
    return (cpu_ns(pid) - before) / 1e6


def main():
    build = sys.argv[1]
    seconds = float(sys.argv[2]) if len(sys.argv) > 2 else 10
    home = tempfile.mkdtemp(prefix="tallyfox-idle-")
    env = dict(os.environ, HOME=home, XDG_CONFIG_HOME=os.path.join(home, "config"),
               QT_QPA_PLATFORM="xcb")
    process = subprocess.Popen([os.path.join(build, "tallyfox")], env=env,
                               stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    try:
        wait_for(lambda: find(process.pid, "^Tally Fox$")
                 and not find(process.pid, "^About Tally Fox$"), "the splash to close")
        time.sleep(0.5)
        closed = spent(process.pid, seconds)
        # The about box from the Edit menu: its last item.
        main_window = find(process.pid, "^Tally Fox$")[0]
        subprocess.run(["xdotool", "mousemove", "--window", main_window, "50", "8", "click", "1"],
                       check=True)
        time.sleep(0.3)
        subprocess.run(["xdotool", "key", "Up", "Return"])
        wait_for(lambda: find(process.pid, "^About Tally Fox$"), "the about box")
        time.sleep(0.5)
        opened = spent(process.pid, seconds)
    finally:
        process.kill()
        process.wait()
        shutil.rmtree(home, ignore_errors=True)
    print(f"about box closed: {closed:8.1f} ms of CPU in {seconds:g} s")
    print(f"about box open:   {opened:8.1f} ms of CPU in {seconds:g} s"
          f" ({opened / (seconds * 10):.2f}% of one core)")


if __name__ == "__main__":
    main()
