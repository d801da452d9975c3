#!/bin/bash
# Builds the Windows programs and tests for both architectures, x86 in build/win32 and x64 in
# build/win64 (cross-compiling needs no 32-bit kernel), and, with "native", the sanitizer build
# of the engine's tests (build/native).
#   QV_BUILD_ARCHES="win64"   builds only the listed Windows builds (default: "win32 win64")
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
for arch in ${QV_BUILD_ARCHES:-win32 win64}; do
    case "$arch" in
    win32) toolchain=mingw-i686.cmake ;;
    win64) toolchain=mingw-x86_64.cmake ;;
    *)
        echo "build: unknown build '$arch' (win32, win64)" >&2
        exit 2
        ;;
    esac
    echo "build: $arch"
    cmake -S "$root" -B "$root/build/$arch" -G Ninja -DCMAKE_BUILD_TYPE=Release \
          -DCMAKE_TOOLCHAIN_FILE="$root/cmake/$toolchain" >/dev/null
    cmake --build "$root/build/$arch"
done
if [ "${1:-}" = native ]; then
    cmake -S "$root" -B "$root/build/native" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DQV_NATIVE_TESTS=ON >/dev/null
    cmake --build "$root/build/native"
fi
