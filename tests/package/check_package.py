#!/usr/bin/env python3
"""Builds the Debian package from a build folder and checks it as a user's system meets it. Run:
  xvfb-run -a python3 check_package.py --build-dir build --version 0.9.3 --app-id ID"""
import argparse, os, signal, subprocess, sys, tempfile
import xml.etree.ElementTree as ElementTree
sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "e2e"))
from e2e_app import wait_for, windows  # found through the line above


def check(condition, message):
    if not condition:
        sys.exit(f"FAIL: {message}")  # cleanups in finally blocks still run


def run(*command, cwd=None, env=None, quiet=()):
    """The command's output; it must succeed and print nothing on the streams named in quiet."""
    result = subprocess.run(command, cwd=cwd, env=env, capture_output=True, text=True, timeout=180)
    said = result.stdout + result.stderr
    check(result.returncode == 0 and not any(getattr(result, name) for name in quiet),
          f"{' '.join(map(str, command))} exited with {result.returncode}:\n{said}")
    return result.stdout


def check_files(deb, root, args, scratch):
    """Checks what the package holds and says of itself; returns its desktop entry's keys."""
    desktop = f"usr/share/applications/{args.app_id}.desktop"
    metainfo = f"usr/share/metainfo/{args.app_id}.metainfo.xml"
    expected = {"usr/bin/tallyfox", "usr/share/tallyfox/tallyfox.rcc", desktop, metainfo,
                "usr/share/doc/tallyfox/copyright", "usr/share/doc/tallyfox/changelog.Debian.gz",
                "usr/share/man/man1/tallyfox.1.gz", "usr/share/lintian/overrides/tallyfox",
                "usr/share/icons/hicolor/scalable/apps/tallyfox.svg",
                *(f"usr/share/icons/hicolor/{n}x{n}/apps/tallyfox.png"
                  for n in (16, 22, 24, 32, 48, 64, 128, 256))}
    files = {os.path.relpath(os.path.join(folder, name), root)
             for folder, _, names in os.walk(root) for name in names}
    check(files == expected, f"package files differ; missing: {sorted(expected - files)}, "
                             f"unexpected: {sorted(files - expected)}")
    # Depends as dpkg-shlibdeps reads it from the binary, not a list the next Qt leaves behind.
    binary = os.path.join(root, "usr/bin/tallyfox")
    os.makedirs(os.path.join(scratch, "debian"))
    open(os.path.join(scratch, "debian", "control"), "w").close()
    wanted = run("dpkg-shlibdeps", "-O", binary, cwd=scratch).strip().partition("=")[2]
    # The file's name, checked in main(), is made of the other fields.
    said = run("dpkg-deb", "--field", deb, "Depends").strip()
    check(said == wanted, f"control field Depends is {said!r}, not {wanted!r}")

    # Information fails too: immediate binding, fortified calls and unstripped sections are there;
    # an RPATH or RUNPATH is an error (custom-library-search-path).
    run("lintian", "--display-info", "--fail-on", "error,warning,info", deb)
    # groff's warnings are the page's mistakes: a bad request, a table too wide for the line.
    page = os.path.join(root, "usr/share/man/man1/tallyfox.1.gz")
    run("man", "--warnings", "-l", page, env=dict(os.environ, MANWIDTH="80"), quiet=["stderr"])

    run("desktop-file-validate", os.path.join(root, desktop), quiet=["stdout", "stderr"])
    # The metainfo file, and that the desktop entry it launches exists.
    print(run("appstreamcli", "validate-tree", "--pedantic", "--no-net", root))
    # The entry is the file's one group: its keys are all the lines with a "=" but comments.
    with open(os.path.join(root, desktop), encoding="utf-8") as text:
        entry = dict(line.strip().split("=", 1) for line in text if "=" in line and line[0] != "#")
    check(f"usr/share/icons/hicolor/scalable/apps/{entry['Icon']}.svg" in files,
          f"Icon={entry['Icon']} names no icon")
    releases = ElementTree.parse(os.path.join(root, metainfo)).findall("./releases/release")
    check(releases and releases[0].get("version") == args.version,
          f"the newest AppStream release is not {args.version}")
    return entry


def check_start(root, scratch, entry):
    home = os.path.join(scratch, "home")
    # No session bus to start one for it, so that ending its process group ends all it started.
    env = dict(os.environ, HOME=home, XDG_CONFIG_HOME=os.path.join(home, ".config"),
               QT_QPA_PLATFORM="xcb", DBUS_SESSION_BUS_ADDRESS="disabled:",
               ASAN_OPTIONS=os.environ.get("ASAN_OPTIONS", "") + ":detect_leaks=0")
    log = tempfile.TemporaryFile(dir=scratch)
    app = subprocess.Popen([os.path.join(root, "usr/bin/tallyfox")], cwd=scratch, env=env,
                           stdout=log, stderr=subprocess.STDOUT, start_new_session=True)
    try:
        # The about box shows only when the resource store was found where it was installed.
        box = wait_for(lambda: windows("^About Tally Fox$", app.pid) or app.poll() is not None,
                       "the about box or the end", 20)
        log.seek(0)
        check(box is not True, f"no about box (exit status {app.poll()}):\n{log.read().decode()}")
        # Launchers pair a running window with its desktop entry through this key.
        classes = run("xprop", "-id", windows("^Tally Fox$", app.pid)[0], "WM_CLASS").split("=")[-1]
        check(f'"{entry["StartupWMClass"]}"' in classes,
              f"StartupWMClass={entry['StartupWMClass']} is not among WM_CLASS {classes}")
    finally:
        os.killpg(app.pid, signal.SIGKILL)
        app.wait(timeout=10)


def main():
    parser = argparse.ArgumentParser()
    for option in ("--build-dir", "--version", "--app-id"):
        parser.add_argument(option, required=True)
    parser.add_argument("--cpack", default="cpack")
    args = parser.parse_args()
    arch = run("dpkg", "--print-architecture").strip()
    with tempfile.TemporaryDirectory(prefix="tallyfox-package-") as scratch:
        out, root = os.path.join(scratch, "out"), os.path.join(scratch, "root")
        run(args.cpack, "-G", "DEB", "--config",
            os.path.join(os.path.abspath(args.build_dir), "CPackConfig.cmake"), "-B", out,
            cwd=scratch)
        name = f"tallyfox_{args.version}-1_{arch}.deb"
        debs = [deb for deb in os.listdir(out) if deb.endswith(".deb")]
        check(debs == [name], f"cpack made {debs}, not [{name!r}]")
        run("dpkg", "-x", os.path.join(out, name), root)
        check_start(root, scratch, check_files(os.path.join(out, name), root, args, scratch))
    print("package checks passed")


if __name__ == "__main__":
    main()
