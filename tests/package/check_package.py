#!/usr/bin/env python3
"""Builds the Debian package from a build folder and checks it the way a user's system meets it:
the file list, the control fields, the desktop entry and AppStream metadata as their validators
see them, and the installed program starting from an unrelated folder.

Run under an X server, as CTest does:
  xvfb-run -a python3 check_package.py --build-dir build --version 0.9.3 \
      --app-id io.github.tallyfox.tallyfox
"""
import argparse
import ctypes
import os
import shutil
import signal
import struct
import subprocess
import sys
import tempfile
import time
import xml.etree.ElementTree as ElementTree

PNG_SIZES = (16, 22, 24, 32, 48, 64, 128, 256)
WINDOW_TITLE = "Tally Fox"
PR_SET_CHILD_SUBREAPER = 36


class Failure(Exception):
    pass


def check(condition, message):
    if not condition:
        raise Failure(message)


def run(*command, cwd=None):
    result = subprocess.run(command, cwd=cwd, capture_output=True, text=True, timeout=180)
    if result.returncode != 0:
        raise Failure(f"{' '.join(map(str, command))} exited with {result.returncode}:\n"
                      f"{result.stdout}{result.stderr}")
    return result.stdout


def expected_files(app_id):
    files = {
        "usr/bin/tallyfox",
        "usr/share/tallyfox/tallyfox.rcc",
        f"usr/share/applications/{app_id}.desktop",
        f"usr/share/metainfo/{app_id}.metainfo.xml",
        "usr/share/doc/tallyfox/copyright",
        "usr/share/icons/hicolor/scalable/apps/tallyfox.svg",
    }
    files.update(f"usr/share/icons/hicolor/{n}x{n}/apps/tallyfox.png" for n in PNG_SIZES)
    return files


def tree_entries(root):
    files, folders = set(), set()
    for folder, subfolders, names in os.walk(root):
        relative = os.path.relpath(folder, root)
        for name in subfolders:
            path = os.path.normpath(os.path.join(relative, name))
            # A symbolic link to a folder is an entry of its own, not a place to look into.
            (files if os.path.islink(os.path.join(root, path)) else folders).add(path)
        files.update(os.path.normpath(os.path.join(relative, name)) for name in names)
    return files, folders


def control_fields(deb):
    fields = {}
    for line in run("dpkg-deb", "--field", deb).splitlines():
        if line[:1] not in ("", " ", "\t"):
            key, _, value = line.partition(":")
            fields[key] = value.strip()
    return fields


def desktop_entry(path):
    entry, group = {}, None
    with open(path, encoding="utf-8") as f:
        for line in f.read().splitlines():
            if line.startswith("["):
                group = line
            elif group == "[Desktop Entry]" and "=" in line and not line.startswith("#"):
                key, _, value = line.partition("=")
                entry[key.strip()] = value.strip()
    return entry


def png_size(path):
    with open(path, "rb") as f:
        header = f.read(24)
    check(header[:8] == b"\x89PNG\r\n\x1a\n" and header[12:16] == b"IHDR", f"{path} is not a PNG")
    return struct.unpack(">II", header[16:24])


def check_package_contents(deb, root, args, arch):
    files, folders = tree_entries(root)
    expected = expected_files(args.app_id)
    check(files == expected,
          f"package files differ; missing: {sorted(expected - files)}, "
          f"unexpected: {sorted(files - expected)}")
    parents = set()
    for path in expected:
        while path := os.path.dirname(path):
            parents.add(path)
    check(folders == parents, f"folders that hold nothing: {sorted(folders - parents)}")

    fields = control_fields(deb)
    for key, value in (("Package", "tallyfox"), ("Version", args.version),
                       ("Architecture", arch)):
        check(fields.get(key) == value, f"control field {key} is {fields.get(key)!r}, not {value!r}")

    # The dependencies must be what dpkg-shlibdeps reads from the packaged binary, not a list
    # written by hand that the next Qt or compiler leaves behind.
    shlibs_dir = os.path.join(os.path.dirname(root), "shlibs")
    os.makedirs(os.path.join(shlibs_dir, "debian"))
    open(os.path.join(shlibs_dir, "debian", "control"), "w").close()
    shlibs = run("dpkg-shlibdeps", "-O", os.path.join(root, "usr/bin/tallyfox"), cwd=shlibs_dir)
    wanted = shlibs.strip().partition("shlibs:Depends=")[2]
    check(fields.get("Depends") == wanted,
          f"Depends is {fields.get('Depends')!r}; dpkg-shlibdeps gives {wanted!r}")
    check("libqt6widgets6 (" in wanted, f"Depends does not name Qt 6 Widgets: {wanted!r}")

    # qt_standard_project_setup() gives installed programs a $ORIGIN search path by default; a
    # packaged program takes its libraries from the system's paths alone.
    dynamic = run("readelf", "--dynamic", os.path.join(root, "usr/bin/tallyfox"))
    check("RPATH" not in dynamic and "RUNPATH" not in dynamic,
          f"the packaged program carries a library search path:\n{dynamic}")

    with open(os.path.join(root, "usr/share/tallyfox/tallyfox.rcc"), "rb") as packaged, \
            open(os.path.join(args.build_dir, "tallyfox.rcc"), "rb") as built:
        check(packaged.read() == built.read(), "the packaged tallyfox.rcc is not the one built")
    for n in PNG_SIZES:
        path = os.path.join(root, f"usr/share/icons/hicolor/{n}x{n}/apps/tallyfox.png")
        check(png_size(path) == (n, n), f"the {n}x{n} icon is {png_size(path)}")


def check_desktop_files(root, args):
    desktop = os.path.join(root, f"usr/share/applications/{args.app_id}.desktop")
    metainfo = os.path.join(root, f"usr/share/metainfo/{args.app_id}.metainfo.xml")

    result = subprocess.run(["desktop-file-validate", desktop], capture_output=True, text=True)
    print(f"desktop-file-validate: exit {result.returncode} {result.stdout}{result.stderr}")
    check(result.returncode == 0 and not (result.stdout + result.stderr).strip(),
          "desktop-file-validate is not satisfied")
    # validate-tree adds what a single file cannot show: that the launchable desktop entry exists.
    for command in (["appstreamcli", "validate", "--no-net", metainfo],
                    ["appstreamcli", "validate-tree", "--no-net", root]):
        result = subprocess.run(command, capture_output=True, text=True)
        print(f"{' '.join(command[:2])}: exit {result.returncode}\n{result.stdout}{result.stderr}")
        check(result.returncode == 0, f"{' '.join(command[:2])} is not satisfied")

    entry = desktop_entry(desktop)
    program = entry.get("Exec", "").split(" ")[0]
    check(os.path.isfile(os.path.join(root, "usr/bin", program)),
          f"Exec={entry.get('Exec')} names no installed program")
    icon = entry.get("Icon", "")
    check(os.path.isfile(os.path.join(root, f"usr/share/icons/hicolor/scalable/apps/{icon}.svg")),
          f"Icon={icon} names no installed icon")

    releases = ElementTree.parse(metainfo).getroot().findall("./releases/release")
    check(releases and releases[0].get("version") == args.version,
          f"the newest AppStream release is not {args.version}")
    return entry


def set_child_subreaper():
    # Whatever the program starts and leaves behind in another session (a bus daemon, say) is
    # handed to this script instead of to init, so it can be found and ended too.
    libc = ctypes.CDLL(None, use_errno=True)
    if libc.prctl(PR_SET_CHILD_SUBREAPER, 1, 0, 0, 0) != 0:
        raise OSError(ctypes.get_errno(), "prctl(PR_SET_CHILD_SUBREAPER)")


def own_children():
    children = []
    for name in os.listdir("/proc"):
        if not name.isdigit():
            continue
        try:
            with open(f"/proc/{name}/stat", encoding="utf-8", errors="replace") as f:
                stat = f.read()
        except OSError:
            continue
        # The command name in parentheses may hold spaces; the parent pid follows the state.
        if int(stat.rpartition(")")[2].split()[1]) == os.getpid():
            children.append(int(name))
    return children


def end_everything(app):
    try:
        os.killpg(app.pid, signal.SIGKILL)
    except ProcessLookupError:
        pass
    app.wait(timeout=10)
    deadline = time.monotonic() + 10
    while (children := own_children()) and time.monotonic() < deadline:
        for pid in children:
            print(f"ending process {pid}, started by the program")
            try:
                os.kill(pid, signal.SIGKILL)
                os.waitpid(pid, 0)
            except (ProcessLookupError, ChildProcessError):
                pass
    check(not own_children(), f"processes outlived the program: {own_children()}")


def window_classes(window):
    # WM_CLASS(STRING) = "instance", "class"
    text = run("xprop", "-id", window, "WM_CLASS").partition("=")[2]
    return [part.strip().strip('"') for part in text.split(",")]


def check_start(root, scratch, entry):
    elsewhere = os.path.join(scratch, "elsewhere")
    home = os.path.join(scratch, "home")
    runtime = os.path.join(scratch, "runtime")
    for folder in (elsewhere, home, runtime):
        os.makedirs(folder, mode=0o700)
    env = dict(os.environ, HOME=home, XDG_CONFIG_HOME=os.path.join(home, ".config"),
               XDG_RUNTIME_DIR=runtime, QT_QPA_PLATFORM="xcb")
    # A start-up check ends the program with SIGKILL; in the sanitizer build nothing would be
    # learnt from its leak report.
    env["ASAN_OPTIONS"] = ":".join(filter(None, [env.get("ASAN_OPTIONS"), "detect_leaks=0"]))

    log_path = os.path.join(scratch, "tallyfox.log")
    with open(log_path, "wb") as log:
        app = subprocess.Popen([os.path.join(root, "usr/bin/tallyfox")], cwd=elsewhere, env=env,
                               stdout=log, stderr=subprocess.STDOUT, start_new_session=True)
    try:
        begin = time.monotonic()
        window = None
        while window is None and time.monotonic() - begin < 20:
            if app.poll() is not None:
                break
            found = subprocess.run(["xdotool", "search", "--onlyvisible", "--name",
                                    f"^{WINDOW_TITLE}$"], capture_output=True, text=True)
            window = found.stdout.split()[0] if found.stdout.split() else None
            if window is None:
                time.sleep(0.05)
        if window is None:
            with open(log_path, encoding="utf-8", errors="replace") as log:
                output = log.read()
            raise Failure(f"no '{WINDOW_TITLE}' window (exit status {app.poll()}); "
                          f"output:\n{output}")
        print(f"window {window} after {time.monotonic() - begin:.1f} s")
        # Launchers pair a running window with its desktop entry through this key, now that the
        # entry is named after the AppStream id rather than the program.
        classes = window_classes(window)
        check(entry.get("StartupWMClass") in classes,
              f"StartupWMClass={entry.get('StartupWMClass')} matches neither of the window's "
              f"WM_CLASS names {classes}")
    finally:
        end_everything(app)


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--build-dir", required=True)
    parser.add_argument("--cpack", default="cpack")
    parser.add_argument("--version", required=True)
    parser.add_argument("--app-id", required=True)
    args = parser.parse_args()
    args.build_dir = os.path.abspath(args.build_dir)
    set_child_subreaper()

    arch = run("dpkg", "--print-architecture").strip()
    with tempfile.TemporaryDirectory(prefix="tallyfox-package-") as scratch:
        out = os.path.join(scratch, "out")
        run(args.cpack, "-G", "DEB", "--config",
            os.path.join(args.build_dir, "CPackConfig.cmake"), "-B", out, cwd=scratch)
        debs = sorted(name for name in os.listdir(out) if name.endswith(".deb"))
        name = f"tallyfox_{args.version}_{arch}.deb"
        check(debs == [name], f"cpack made {debs}, not [{name!r}]")
        deb = os.path.join(out, name)
        print(run("dpkg-deb", "--info", deb))

        root = os.path.join(scratch, "root")
        run("dpkg", "-x", deb, root)
        check_package_contents(deb, root, args, arch)
        entry = check_desktop_files(root, args)
        check_start(root, scratch, entry)
    print("package checks passed")


if __name__ == "__main__":
    try:
        main()
    except Failure as failure:
        print(f"FAIL: {failure}", file=sys.stderr)
        sys.exit(1)
