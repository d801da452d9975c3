#!/bin/bash
# Installs what building, running and testing Quorvane needs on Debian; does nothing for what is
# already there. Run as root (or with sudo available).
set -euo pipefail

SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi

need=()
have() { dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q "install ok installed"; }

# Both builds are cross-compiled everywhere. The x64 build runs under the 64-bit Wine on every
# machine; the x86 build runs only where the kernel runs 32-bit programs, and only there is
# anything i386 installed (the 32-bit Wine and the 32-bit CUPS client library it prints through).
. "$(dirname "${BASH_SOURCE[0]}")/kernel-arch.sh"
i386=()
if qv_runs_32bit; then
    i386=(wine32:i386 libcups2:i386)
    if ! dpkg --print-foreign-architectures | grep -qx i386; then
        $SUDO dpkg --add-architecture i386
        need_update=1
    fi
fi
# The printing tests print through CUPS to a PDF printer (cups-pdf) and read the PDFs back with
# poppler's tools; Wine reaches CUPS through the libcups of its own architecture.
# ripgrep is a peer figure of the find-in-files benchmark.
# The help file is written by a small program over Free Pascal's chm package (the compiler and
# the fcl and misc units; fp-utils-3.2.2 has chmcmd and chmls beside it), and its tests
# decompile it with extract_chmLib (libchm-bin) and 7z (p7zip-full).
# The release (cmake/release.sh) is a zip and an NSIS installer.
# fonts-wine holds Wine's own fonts, the symbol font of caption and scroll bar buttons among
# them (a recommendation of Wine that --no-install-recommends would leave out).
for p in cmake ninja-build g++ g++-mingw-w64-i686 g++-mingw-w64-x86-64-posix \
         wine wine64 "${i386[@]}" fonts-wine xvfb xdotool x11-apps x11-utils imagemagick \
         fonts-wqy-microhei googletest libgtest-dev locales \
         libboost-regex1.81-dev ripgrep \
         cups printer-driver-cups-pdf libcups2 poppler-utils ghostscript \
         fp-compiler-3.2.2 fp-units-fcl-3.2.2 fp-units-misc-3.2.2 fp-utils-3.2.2 \
         libchm-bin p7zip-full nsis zip unzip; do
    have "$p" || need+=("$p")
done
if [ ${#need[@]} -gt 0 ] || [ -n "${need_update:-}" ]; then
    $SUDO apt-get update -qq
    if [ ${#need[@]} -gt 0 ]; then
        DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${need[@]}"
    fi
fi

# Wine takes its ANSI code page from the locale: zh_CN.UTF-8 gives code page 936.
if ! locale -a 2>/dev/null | grep -qi '^zh_CN\.utf-\?8$'; then
    $SUDO sed -i 's/^# *\(zh_CN.UTF-8 UTF-8\)/\1/' /etc/locale.gen
    grep -q '^zh_CN.UTF-8 UTF-8' /etc/locale.gen || echo 'zh_CN.UTF-8 UTF-8' | $SUDO tee -a /etc/locale.gen >/dev/null
    $SUDO locale-gen >/dev/null
fi
