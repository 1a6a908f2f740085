#!/usr/bin/env bash
# Takes the README's screenshot, docs/screenshot.png: the program under Xvfb with a few sample
# projects, one of them running, at a fixed date. Needs a built build/tallyfox.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh test
for tool in import; do
    command -v "$tool" >/dev/null || apt-get install -y -qq --no-install-recommends imagemagick
done
home=$(mktemp -d)
trap 'rm -rf "$home"' EXIT
mkdir -p "$home/config"
printf '%s\n' '#version 1.5' $'#windowpos 20\t40\t520\t233' '#columnwidths 38%,24%,24%,14%' \
    $'#saveditem Client letter\t12/01 09:05\t12/01 10:35\t1\' 30"' \
    $'#saveditem Tax return\t12/02 13:10\t12/02 16:55\t3\' 45"' \
    $'#saveditem Website redesign\t12/03 08:30\t12/03 12:15\t3\' 45"' \
    $'#saveditem Team meeting\t12/04 10:00\t12/04 10:40\t0\' 40"' \
    $'#saveditem Book-keeping\t12/06 14:20\t\t' > "$home/config/Tallyfox Prefs"
cat > "$home/shoot.sh" <<SHOOT
HOME="$home" XDG_CONFIG_HOME="$home/config" TZ=UTC LD_PRELOAD=/usr/lib/x86_64-linux-gnu/faketime/libfaketime.so.1 \
    FAKETIME="2026-12-06 15:02:00" FAKETIME_DONT_FAKE_MONOTONIC=1 build/tallyfox &
pid=\$!
sleep 2.5
window=\$(xdotool search --all --onlyvisible --pid \$pid --name '^Tally Fox\$' | head -1)
xdotool mousemove --window \$window 60 112 click 1
sleep 0.5
import -window \$window docs/screenshot.png
kill \$pid
SHOOT
xvfb-run -a -s "-screen 0 800x600x24 -nolisten tcp -noreset" bash "$home/shoot.sh"
echo "docs/screenshot.png"
