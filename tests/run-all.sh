#!/bin/bash
# Installs what is missing, builds everything, and runs every test: the Windows tests under Wine
# (own prefix, code page 936, persistent server, virtual display) and the native sanitizer build.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
"$root/cmake/install-deps.sh"
"$root/cmake/build.sh" native
. "$root/cmake/wine-env.sh"
wine_start
trap wine_stop EXIT
status=0
ctest --test-dir "$root/build/win" --output-on-failure || status=1
ctest --test-dir "$root/build/native" --output-on-failure || status=1
exit $status
