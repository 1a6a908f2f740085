#!/usr/bin/env python3
"""Times the whole program's start under X: from exec to its main window mapped, and its peak
memory (VmHWM, read just before it is ended), with no preferences file and with a long one,
beside the floor (a bare QMainWindow holding an empty four-column QTableView). Runs are
interleaved, each with a fresh HOME; medians are reported.

    xvfb-run -a -s -noreset python3 bench/startup.py build [runs] [rows]
"""
import os
import shutil
import statistics
import subprocess
import sys
import tempfile
import time


def window_mapped(process, name):
    # xdotool's own --sync polls only twice a second.
    while process.poll() is None:
        found = subprocess.run(["xdotool", "search", "--all", "--onlyvisible", "--pid", str(process.pid),
                                "--name", name], capture_output=True, text=True).stdout
        if found.strip():
            return
        time.sleep(0.002)
    raise RuntimeError()


def peak_kib(pid):
    with open(f"/proc/{pid}/status") as f:
        for line in f:
            if line.startswith("VmHWM:"):
                return int(line.split()[1])
    return 0


def one_run(command, name, prefs):
    home = tempfile.mkdtemp(prefix="tallyfox-bench-")
    try:
        config = os.path.join(home, "config")
        os.makedirs(config)
        if prefs:
            shutil.copy(prefs, os.path.join(config, "Tallyfox Prefs"))
        env = dict(os.environ, HOME=home, XDG_CONFIG_HOME=config, QT_QPA_PLATFORM="xcb")
        log = open(os.path.join(home, "log"), "w+")
        begin = time.monotonic()
        process = subprocess.Popen(command, env=env, stdout=log, stderr=log)
        try:
            window_mapped(process, name)
        except RuntimeError:
            log.seek(0)
            sys.exit(f"{command[0]} ended with status {process.returncode}:\n{log.read()}")
        spent = time.monotonic() - begin
        time.sleep(0.3)  # whatever it does once the window is up counts towards the peak
        peak = peak_kib(process.pid)
        process.kill()
        process.wait()
        return spent * 1000, peak / 1024
    finally:
        shutil.rmtree(home, ignore_errors=True)


def long_file(path, rows):
    with open(path, "w") as f:
        f.write("#version 1.5\n#windowpos 40\t60\t493\t233\n#columnwidths 35%,25%,25%,15%\n")
        for i in range(rows):
            f.write(f"#saveditem Project {(i * 7919) % rows}\t03/14 09:05\t03/14 10:35\t1' 30\"\n")


def main():
    build = sys.argv[1]
    runs = int(sys.argv[2]) if len(sys.argv) > 2 else 9
    rows = int(sys.argv[3]) if len(sys.argv) > 3 else 100_000
    folder = tempfile.mkdtemp()
    prefs = os.path.join(folder, "prefs")
    long_file(prefs, rows)
    program = os.path.join(build, "tallyfox")
    cases = [("floor", [os.path.join(build, "bench", "floor")], "^Floor$", None),
             ("no file", [program], "^Tally Fox$", None),
             (f"{rows} rows", [program], "^Tally Fox$", prefs)]
    results = {case[0]: [] for case in cases}
    for _ in range(runs):
        for label, command, name, file in cases:
            results[label].append(one_run(command, name, file))
    shutil.rmtree(folder)
    print(f"{'':>14} {'start-up (ms)':>14} {'peak (MB)':>10}   median of {runs}")
    for label, samples in results.items():
        print(f"{label:>14} {statistics.median(s[0] for s in samples):14.0f}"
              f" {statistics.median(s[1] for s in samples):10.1f}")


if __name__ == "__main__":
    main()
