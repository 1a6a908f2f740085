#!/usr/bin/env python3
"""Builds the Debian package from a build folder and checks it as a user's system meets it: the
file list, the control fields, the desktop entry and AppStream metadata as their validators see
them, and the installed program starting from an unrelated folder. Run under an X server:
  xvfb-run -a python3 check_package.py --build-dir build --version 0.9.3 --app-id ID
"""
import argparse, configparser, ctypes, os, signal, struct, subprocess, sys, tempfile, time
import xml.etree.ElementTree as ElementTree

PNG_SIZES = (16, 22, 24, 32, 48, 64, 128, 256)
PR_SET_CHILD_SUBREAPER = 36


def check(condition, message):
    if not condition:
        sys.exit(f"FAIL: {message}")  # cleanups in finally blocks still run


def run(*command, cwd=None, quiet=False):
    """The command's output; it must succeed and, when quiet, print nothing."""
    result = subprocess.run(command, cwd=cwd, capture_output=True, text=True, timeout=180)
    said = result.stdout + result.stderr
    check(result.returncode == 0 and not (quiet and said.strip()),
          f"{' '.join(map(str, command))} exited with {result.returncode}:\n{said}")
    return result.stdout


def read(path, mode="r"):
    with open(path, mode) as f:
        return f.read()


def check_contents(deb, root, args, arch, scratch):
    expected = {"usr/bin/tallyfox", "usr/share/tallyfox/tallyfox.rcc",
                f"usr/share/applications/{args.app_id}.desktop",
                f"usr/share/metainfo/{args.app_id}.metainfo.xml",
                "usr/share/doc/tallyfox/copyright",
                "usr/share/icons/hicolor/scalable/apps/tallyfox.svg",
                *(f"usr/share/icons/hicolor/{n}x{n}/apps/tallyfox.png" for n in PNG_SIZES)}
    files, folders = set(), set()
    for folder, subfolders, names in os.walk(root):
        for name in subfolders + names:
            path = os.path.relpath(os.path.join(folder, name), root)
            # A symbolic link to a folder is an entry of its own, not a place to look into.
            is_folder = name in subfolders and not os.path.islink(os.path.join(root, path))
            (folders if is_folder else files).add(path)
    check(files == expected, f"package files differ; missing: {sorted(expected - files)}, "
                             f"unexpected: {sorted(files - expected)}")
    parents = {path[:i] for path in expected for i, c in enumerate(path) if c == "/"}
    check(folders == parents, f"folders that hold nothing: {sorted(folders - parents)}")

    def field(name):
        return run("dpkg-deb", "--field", deb, name).strip()

    for name, value in (("Package", "tallyfox"), ("Version", args.version), ("Architecture", arch)):
        check(field(name) == value, f"control field {name} is {field(name)!r}, not {value!r}")
    # The dependencies must be what dpkg-shlibdeps reads from the packaged binary, not a list
    # written by hand that the next Qt or compiler leaves behind.
    binary = os.path.join(root, "usr/bin/tallyfox")
    os.makedirs(os.path.join(scratch, "shlibs", "debian"))
    open(os.path.join(scratch, "shlibs", "debian", "control"), "w").close()
    wanted = run("dpkg-shlibdeps", "-O", binary, cwd=os.path.join(scratch, "shlibs"))
    wanted = wanted.strip().partition("shlibs:Depends=")[2]
    check(field("Depends") == wanted and "libqt6widgets6 (" in wanted,
          f"Depends is {field('Depends')!r}; dpkg-shlibdeps gives {wanted!r}")
    # qt_standard_project_setup() gives installed programs a $ORIGIN search path by default; a
    # packaged program takes its libraries from the system's paths alone.
    dynamic = run("readelf", "--dynamic", binary)
    check("RPATH" not in dynamic and "RUNPATH" not in dynamic,
          f"the packaged program carries a library search path:\n{dynamic}")
    check(read(os.path.join(root, "usr/share/tallyfox/tallyfox.rcc"), "rb")
          == read(os.path.join(args.build_dir, "tallyfox.rcc"), "rb"),
          "the packaged tallyfox.rcc is not the one built")
    for n in PNG_SIZES:
        header = read(os.path.join(root, f"usr/share/icons/hicolor/{n}x{n}/apps/tallyfox.png"),
                      "rb")[:24]
        check(header[:8] == b"\x89PNG\r\n\x1a\n" and header[12:16] == b"IHDR"
              and struct.unpack(">II", header[16:24]) == (n, n), f"no {n}x{n} PNG icon")


def check_desktop_files(root, args):
    desktop = os.path.join(root, f"usr/share/applications/{args.app_id}.desktop")
    metainfo = os.path.join(root, f"usr/share/metainfo/{args.app_id}.metainfo.xml")
    run("desktop-file-validate", desktop, quiet=True)
    # validate-tree adds what a single file cannot show: that the launchable desktop entry exists.
    print(run("appstreamcli", "validate", "--no-net", metainfo),
          run("appstreamcli", "validate-tree", "--no-net", root))
    parser = configparser.ConfigParser(interpolation=None)
    parser.optionxform = str
    parser.read(desktop, encoding="utf-8")
    entry = parser["Desktop Entry"]
    check(os.path.isfile(os.path.join(root, "usr/bin", entry.get("Exec", "").split(" ")[0])),
          f"Exec={entry.get('Exec')} names no installed program")
    icon = f"usr/share/icons/hicolor/scalable/apps/{entry.get('Icon')}.svg"
    check(os.path.isfile(os.path.join(root, icon)), f"Icon={entry.get('Icon')} names no icon")
    releases = ElementTree.parse(metainfo).getroot().findall("./releases/release")
    check(releases and releases[0].get("version") == args.version,
          f"the newest AppStream release is not {args.version}")
    return entry


def own_children():
    def parent(pid):
        try:  # the command name, in parentheses, may hold spaces; the parent follows the state
            return int(read(f"/proc/{pid}/stat").rpartition(")")[2].split()[1])
        except (OSError, ValueError):
            return None
    return [int(pid) for pid in os.listdir("/proc") if pid.isdigit() and parent(pid) == os.getpid()]


def end_everything(app):
    try:
        os.killpg(app.pid, signal.SIGKILL)
    except ProcessLookupError:
        pass
    app.wait(timeout=10)
    # What the program left behind in another session (a bus daemon, say) was handed to this
    # script, its subreaper, and is ended too.
    while children := own_children():
        for pid in children:
            print(f"ending process {pid}, started by the program")
            os.kill(pid, signal.SIGKILL)
            os.waitpid(pid, 0)


def check_start(root, scratch, entry):
    folders = [os.path.join(scratch, name) for name in ("elsewhere", "home", "runtime")]
    for folder in folders:
        os.makedirs(folder, mode=0o700)
    # Ended with SIGKILL: in the sanitizer build nothing would be learnt from a leak report.
    env = dict(os.environ, HOME=folders[1], XDG_CONFIG_HOME=os.path.join(folders[1], ".config"),
               XDG_RUNTIME_DIR=folders[2], QT_QPA_PLATFORM="xcb",
               ASAN_OPTIONS=os.environ.get("ASAN_OPTIONS", "") + ":detect_leaks=0")
    log = tempfile.TemporaryFile(dir=scratch)
    app = subprocess.Popen([os.path.join(root, "usr/bin/tallyfox")], cwd=folders[0], env=env,
                           stdout=log, stderr=subprocess.STDOUT, start_new_session=True)
    try:
        begin, window = time.monotonic(), None
        while not window and app.poll() is None and time.monotonic() - begin < 20:
            time.sleep(0.05)
            window = (subprocess.run(["xdotool", "search", "--onlyvisible", "--name", "^Tally Fox$"],
                                     capture_output=True, text=True).stdout.split() or [None])[0]
        log.seek(0)
        check(window, f"no window (exit status {app.poll()}); output:\n{log.read().decode()}")
        print(f"window {window} after {time.monotonic() - begin:.1f} s")
        # Launchers pair a running window with its desktop entry through this key.
        classes = [name.strip(' "') for name in
                   run("xprop", "-id", window, "WM_CLASS").partition("=")[2].split(",")]
        check(entry.get("StartupWMClass") in classes, f"StartupWMClass="
              f"{entry.get('StartupWMClass')} is neither of the window's WM_CLASS names {classes}")
    finally:
        end_everything(app)


def main():
    parser = argparse.ArgumentParser()
    for option in ("--build-dir", "--version", "--app-id"):
        parser.add_argument(option, required=True)
    parser.add_argument("--cpack", default="cpack")
    args = parser.parse_args()
    args.build_dir = os.path.abspath(args.build_dir)
    libc = ctypes.CDLL(None, use_errno=True)
    if libc.prctl(PR_SET_CHILD_SUBREAPER, 1, 0, 0, 0) != 0:
        raise OSError(ctypes.get_errno(), "prctl(PR_SET_CHILD_SUBREAPER)")
    arch = run("dpkg", "--print-architecture").strip()
    with tempfile.TemporaryDirectory(prefix="tallyfox-package-") as scratch:
        out, root = os.path.join(scratch, "out"), os.path.join(scratch, "root")
        run(args.cpack, "-G", "DEB", "--config",
            os.path.join(args.build_dir, "CPackConfig.cmake"), "-B", out, cwd=scratch)
        name = f"tallyfox_{args.version}_{arch}.deb"
        debs = sorted(deb for deb in os.listdir(out) if deb.endswith(".deb"))
        check(debs == [name], f"cpack made {debs}, not [{name!r}]")
        deb = os.path.join(out, name)
        print(run("dpkg-deb", "--info", deb))
        run("dpkg", "-x", deb, root)
        check_contents(deb, root, args, arch, scratch)
        check_start(root, scratch, check_desktop_files(root, args))
    print("package checks passed")


if __name__ == "__main__":
    main()
