#!/usr/bin/env bash
# Installs the Debian packages Tally Fox needs that are not there yet; quick when nothing is
# missing. "app" is enough to build and run the program, "test" adds what the test suite uses.
set -euo pipefail

# scdoc writes the manual page at build time; libxss-dev reads the session's idle time on X11.
packages=(cmake ninja-build g++ qt6-base-dev qt6-base-dev-tools libgl-dev fonts-dejavu-core tzdata
    scdoc libxss-dev pkgconf)
if [[ "${1:-app}" == test ]]; then
    packages+=(clang libclang-rt-14-dev xvfb xauth xdotool x11-utils openbox python3 faketime)
    # setfacl and setfattr give the preferences file test an access control list and an attribute.
    packages+=(acl attr)
    # A tray for the X server, so that the end-to-end test reaches the status icon.
    packages+=(trayer)
    # The Wayland run: a headless compositor and Qt's platform for it.
    packages+=(weston qt6-wayland)
    # The static analysis: clazy-standalone, and clang-tidy-14 of the same LLVM as clang.
    packages+=(clazy clang-tidy-14)
    # The package test: cpack finds the programs to scan with file, dpkg-shlibdeps (dpkg-dev)
    # turns their libraries into dependencies, then the validators: the two for the desktop
    # files, Debian's own package checker, and man to render the manual page.
    packages+=(file dpkg-dev desktop-file-utils appstream lintian man-db)
fi

missing=()
for package in "${packages[@]}"; do
    status=$(dpkg-query -W -f='${Status}' "$package" 2>/dev/null || true)
    [[ "$status" == "install ok installed" ]] || missing+=("$package")
done
[[ ${#missing[@]} -eq 0 ]] && exit 0

echo "Installing: ${missing[*]}"
sudo=()
[[ $(id -u) -ne 0 ]] && sudo=(sudo)
export DEBIAN_FRONTEND=noninteractive
"${sudo[@]}" apt-get update -qq
"${sudo[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
