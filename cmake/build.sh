#!/bin/bash
# Builds the Windows programs and tests (build/win) and, with "native", the sanitizer build of
# the engine's tests (build/native).
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
cmake -S "$root" -B "$root/build/win" -G Ninja -DCMAKE_BUILD_TYPE=Release \
      -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-i686.cmake" >/dev/null
cmake --build "$root/build/win"
if [ "${1:-}" = native ]; then
    cmake -S "$root" -B "$root/build/native" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DQV_NATIVE_TESTS=ON >/dev/null
    cmake --build "$root/build/native"
fi
