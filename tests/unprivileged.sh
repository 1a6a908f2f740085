#!/bin/sh
# Runs a test as an unprivileged user when the suite runs as root, as CI does: root ignores
# permission bits, so the cases that need them would otherwise never run there. That user,
# nobody, owns nothing: the test may only read the build tree and write in /tmp.
if [ "$(id -u)" -eq 0 ]; then
    exec setpriv --reuid=65534 --regid=65534 --clear-groups -- env TMPDIR=/tmp "$@"
fi
exec "$@"
