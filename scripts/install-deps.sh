#!/usr/bin/env bash
# Installs the Debian packages Tally Fox needs that are not there yet; quick when nothing is
# missing. "app" is enough to build and run the program, "test" adds what the test suite uses.
set -euo pipefail

packages=(cmake ninja-build g++ qt6-base-dev qt6-base-dev-tools libgl-dev fonts-dejavu-core tzdata)
if [[ "${1:-app}" == test ]]; then
    packages+=(clang libclang-rt-14-dev xvfb xauth xdotool x11-utils python3 faketime)
    # The static analysis: clazy-standalone, and clang-tidy-14 of the same LLVM as clang.
    packages+=(clazy clang-tidy-14)
    # The package test: cpack finds the programs to scan with file, dpkg-shlibdeps (dpkg-dev)
    # turns their libraries into dependencies, then the two validators.
    packages+=(file dpkg-dev desktop-file-utils appstream)
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
