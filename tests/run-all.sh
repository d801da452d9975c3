#!/bin/bash
# Installs what is missing, builds everything, and runs every test: the Windows tests under Wine
# (own prefix per build, code page 936, persistent server, virtual display) for each build this
# machine can run (x64 everywhere, x86 where the kernel runs 32-bit programs), the suites that
# create windows once more under Wine's heap checking (x64), and the native sanitizer build.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
"$root/cmake/install-deps.sh"
"$root/cmake/build.sh" native
. "$root/cmake/wine-env.sh"
trap wine_stop EXIT
status=0
summary=()
run_suites() { # title, ctest arguments...
    local title="$1" start rc=0
    shift
    echo
    echo "=== $title"
    start=$(date +%s)
    ctest "$@" --output-on-failure || rc=1
    summary+=("$title: $([ $rc = 0 ] && echo passed || echo FAILED) in $(($(date +%s) - start)) s")
    [ $rc = 0 ] || status=1
}
for arch in win64 win32; do
    name="$(qv_arch_name $arch)"
    if [ $arch = win32 ] && ! qv_runs_32bit; then
        summary+=("$name suites (build/$arch): skipped, this kernel does not run 32-bit programs (Wine's 32-bit loader cannot start)")
        continue
    fi
    wine_use $arch
    wine_start
    run_suites "$name suites (build/$arch, Wine prefix build/$(basename "$WINEPREFIX"))" --test-dir "$root/build/$arch"
    if [ $arch = win64 ]; then
        # The suites that create windows, once more with Wine checking the heap: a write to a
        # freed block or past the end of one fails the run even where every test passed.
        QV_HEAP_CHECK=1 run_suites "$name window suites under Wine's heap checking" \
            --test-dir "$root/build/$arch" \
            -R '^(framework|shell|cliptext_window|view|output|app|dialogs)_tests$'
    fi
    wine_stop_server
done
run_suites "native sanitizer suites (build/native)" --test-dir "$root/build/native"
echo
printf '%s\n' "${summary[@]}"
exit $status
