#!/usr/bin/env bash
# Runs clazy and clang-tidy over every source file of src/ that the compile database names, and the
# headers under src/ that they include. Exits non-zero on any finding. The database comes from a
# configured build folder (first argument, "build" by default: cmake --preset default); nothing has
# to be built first, as no file in src/ includes generated code.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
build=${1:-build}
jobs=${TALLYFOX_ANALYSIS_JOBS:-2}

if [[ ! -f "$build/compile_commands.json" ]]; then
    echo "static-analysis: no $build/compile_commands.json; configure first (cmake --preset default)" >&2
    exit 2
fi

# Only our own sources: the moc and resource files that AUTOMOC and AUTORCC generate live in the
# build folder and are left out, and so are the tests, the benches and the fuzzers.
mapfile -t files < <(python3 - "$build/compile_commands.json" "$root/src" <<'PY'
import json, os, sys
# Real paths on both sides, so a checkout reached through a symbolic link still matches.
entries = json.load(open(sys.argv[1]))
prefix = os.path.join(os.path.realpath(sys.argv[2]), "")
paths = {os.path.realpath(os.path.join(e["directory"], e["file"])) for e in entries}
for name in sorted(p for p in paths if p.startswith(prefix)):
    print(name)
PY
)
if [[ ${#files[@]} -eq 0 ]]; then
    echo "static-analysis: $build/compile_commands.json names no file under src/" >&2
    exit 2
fi

# Level 1 takes in level 0; the qt6 checks catch what Qt 6 deprecates or spells differently.
clazy_checks=level1,qt6-deprecated-api-fixes,qt6-fwd-fixes,qt6-header-fixes,qt6-qhash-signature
clazy_checks+=,qt6-qlatin1stringchar-to-u
# Turned off, with its reason:
# non-pod-global-static: our file-scope QPointer, QString and clock have constexpr constructors.
clazy_checks+=,no-non-pod-global-static
header_filter='/src/(app|core|platform|prefs|ui)/[^/]+\.h$'

# Each file's diagnostics are printed together once its run ends, so the two parallel runs do not
# interleave their lines. Any diagnostic counts as a finding, whatever the tool's exit status.
run_one() {
    local output status=0
    output=$("$@" 2>&1) || status=$?
    if [[ $status -ne 0 ]] || grep -qE '(warning|error):' <<<"$output"; then
        printf '%s\n' "$output"
        return 1
    fi
}
export -f run_one

status=0
# The database may be GCC's: a warning option clang does not know must not fail the run.
clazy=(clazy-standalone -p "$build" --checks="$clazy_checks" --header-filter="$header_filter"
    --ignore-dirs='_autogen/' --extra-arg=-Werror --extra-arg=-Wno-unknown-warning-option)
echo "== ${clazy[*]} <file>, for ${#files[@]} files of src/, $jobs at a time"
printf '%s\0' "${files[@]}" | xargs -0 -n1 -P"$jobs" bash -c 'run_one "$@"' _ "${clazy[@]}" \
    || status=1

tidy=(clang-tidy-14 -p "$build" --quiet --warnings-as-errors='*'
    --extra-arg=-Wno-unknown-warning-option)
echo "== ${tidy[*]} <file>, for ${#files[@]} files of src/, $jobs at a time (checks: .clang-tidy)"
printf '%s\0' "${files[@]}" | xargs -0 -n1 -P"$jobs" bash -c 'run_one "$@"' _ "${tidy[@]}" \
    || status=1

if [[ $status -ne 0 ]]; then
    echo "static-analysis: findings above (${SECONDS}s)" >&2
else
    echo "static-analysis: no findings (${SECONDS}s)"
fi
exit $status
