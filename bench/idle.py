#!/usr/bin/env python3
"""CPU and wake-ups the whole program spends when nobody uses it, under X, with its icon in a
tray where trayer is installed to give the X server one: with nothing running and the about box
closed (no timer should run), with the about box open (the credits strip moves every 20 ms), and
with a row running (the icon wakes at each turn of the minute). CPU time is read in nanoseconds,
and wake-ups as times scheduled, from every thread's /proc/<pid>/task/*/schedstat.

    xvfb-run -a -s -noreset python3 bench/idle.py build [seconds] [running seconds]
"""
import glob
import os
import shutil
import subprocess
import sys
import tempfile
import time


def schedstat(pid):
    """CPU nanoseconds and times scheduled of each thread."""
    stats = {}
    for path in glob.glob(f"/proc/{pid}/task/*/schedstat"):
        try:
            fields = open(path).read().split()
        except FileNotFoundError:  # a thread that has just ended
            continue
        stats[path] = int(fields[0]), int(fields[2])
    return stats


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
    """CPU milliseconds and wake-ups of the threads alive at the end, in that many seconds."""
    before = schedstat(pid)
    time.sleep(seconds)
    after = schedstat(pid)
    return (sum(cpu - before.get(thread, (0, 0))[0] for thread, (cpu, _) in after.items()) / 1e6,
            sum(runs - before.get(thread, (0, 0))[1] for thread, (_, runs) in after.items()))


def start(build, home, prefs=None):
    config = os.path.join(home, "config")
    os.makedirs(config, exist_ok=True)
    if prefs:
        with open(os.path.join(config, "Tallyfox Prefs"), "w") as file:
            file.write(prefs)
    env = dict(os.environ, HOME=home, XDG_CONFIG_HOME=config, QT_QPA_PLATFORM="xcb")
    process = subprocess.Popen([os.path.join(build, "tallyfox")], env=env,
                               stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    wait_for(lambda: find(process.pid, "^Tally Fox$")
             and not find(process.pid, "^About Tally Fox$"), "the splash to close")
    time.sleep(0.5)
    return process


def stop(process):
    process.kill()
    process.wait()


def main():
    build = sys.argv[1]
    seconds = float(sys.argv[2]) if len(sys.argv) > 2 else 10
    running_seconds = float(sys.argv[3]) if len(sys.argv) > 3 else 125
    home = tempfile.mkdtemp(prefix="tallyfox-idle-")
    tray = None
    try:
        if shutil.which("trayer"):
            tray = subprocess.Popen(["trayer", "--SetDockType", "true"],
                                    stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
            time.sleep(1)
        process = start(build, os.path.join(home, "empty"))
        try:
            closed = spent(process.pid, seconds)
            # The about box from the Edit menu: its last item.
            main_window = find(process.pid, "^Tally Fox$")[0]
            subprocess.run(["xdotool", "mousemove", "--window", main_window, "50", "8", "click",
                            "1"], check=True)
            time.sleep(0.3)
            subprocess.run(["xdotool", "key", "Up", "Return"])
            wait_for(lambda: find(process.pid, "^About Tally Fox$"), "the about box")
            time.sleep(0.5)
            opened = spent(process.pid, seconds)
        finally:
            stop(process)
        started = time.strftime("%m/%d %H:%M", time.localtime(time.time() - 300))
        process = start(build, os.path.join(home, "running"),
                        f"#saveditem Running\t{started}\t\t\n")
        try:
            running = spent(process.pid, running_seconds)
        finally:
            stop(process)
    finally:
        if tray:
            stop(tray)
        shutil.rmtree(home, ignore_errors=True)
    print("with the icon in a tray" if tray else "without a tray: no icon")
    print(f"nothing running:  {closed[0]:8.1f} ms of CPU, {closed[1]:5d} wake-ups in {seconds:g} s")
    print(f"about box open:   {opened[0]:8.1f} ms of CPU, {opened[1]:5d} wake-ups in {seconds:g} s"
          f" ({opened[0] / (seconds * 10):.2f}% of one core)")
    print(f"a row running:    {running[0]:8.1f} ms of CPU, {running[1]:5d} wake-ups"
          f" in {running_seconds:g} s")


if __name__ == "__main__":
    main()
