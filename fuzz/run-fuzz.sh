#!/bin/sh
# Runs the preferences fuzzer for a while on a scratch copy of the seed corpus, so that the inputs
# it grows do not pile up in the source tree. Exits non-zero on any finding; what it found is kept
# in <build-dir>/fuzz-artifacts/.
#
# Usage: fuzz/run-fuzz.sh <build-dir> <seconds>
set -eu

if [ $# -ne 2 ]; then
    echo "usage: $0 <build-dir> <seconds>" >&2
    exit 2
fi
build=$1
seconds=$2
here=$(cd "$(dirname "$0")" && pwd)
fuzzer=$build/fuzz/fuzz_prefs
if [ ! -x "$fuzzer" ]; then
    echo "$fuzzer is missing: configure with TALLYFOX_FUZZ=ON and build fuzz_prefs" >&2
    exit 2
fi

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT INT TERM
cp "$here"/corpus/* "$work"/
artifacts=$build/fuzz-artifacts
mkdir -p "$artifacts"

# libFuzzer reports progress on every new coverage point: keep that in a log, show its end.
log=$artifacts/fuzz_prefs.log
status=0
"$fuzzer" "$work" -max_total_time="$seconds" -rss_limit_mb=2048 -dict="$here/prefs.dict" \
    -artifact_prefix="$artifacts/" >"$log" 2>&1 || status=$?
if [ "$status" -ne 0 ]; then
    tail -n 60 "$log" >&2
    echo "fuzz_prefs failed (exit status $status); its input is in $artifacts" >&2
    exit 1
fi
echo "fuzz_prefs: $(grep -E '^Done [0-9]+ runs' "$log" || echo 'finished'), no findings"
