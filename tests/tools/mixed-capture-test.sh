#!/bin/bash
# An x64 editor drives an x86 capture runner, and an x86 editor an x64 one: the capture and
# runner tests of each build run beside the QVLOADER.EXE of the other, in the x64 build's Wine
# prefix (which runs 32-bit programs where the kernel does). Skipped (77) where the kernel does
# not run 32-bit programs or the x86 build is missing.
# Argument: the x64 build folder.
set -u
build64="$1"
root="$(cd "$(dirname "$0")/../.." && pwd)"
build32="$(dirname "$build64")/win32"
. "$root/cmake/kernel-arch.sh"
if ! qv_runs_32bit; then
    echo "skipped: this kernel does not run 32-bit programs"
    exit 77
fi
for f in tools_tests.exe qvprobe.exe qvcapturehost.exe QVLOADER.EXE; do
    if [ ! -f "$build32/bin/$f" ] || [ ! -f "$build64/bin/$f" ]; then
        echo "skipped: build/win32/bin/$f or build/win64/bin/$f is missing (cmake/build.sh builds both)"
        exit 77
    fi
done
work="$build64/mixed-capture"
rm -rf "$work"
mkdir -p "$work/x64-editor" "$work/x86-editor"
cp "$build64/bin/tools_tests.exe" "$build64/bin/qvprobe.exe" "$build64/bin/qvcapturehost.exe" \
    "$build32/bin/QVLOADER.EXE" "$work/x64-editor/"
cp "$build32/bin/tools_tests.exe" "$build32/bin/qvprobe.exe" "$build32/bin/qvcapturehost.exe" \
    "$build64/bin/QVLOADER.EXE" "$work/x86-editor/"
status=0
for pair in x64-editor x86-editor; do
    echo "=== $pair with the runner of the other build"
    "$root/cmake/wine-run.sh" "$work/$pair/tools_tests.exe" --gtest_filter='Capture.*:Loader.*' || status=1
done
rm -rf "$work"
exit $status
