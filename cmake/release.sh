#!/bin/bash
# Builds the Windows programs and makes the release in build/release, for each build (ARCH is
# x86 for build/win32, x64 for build/win64):
#   Quorvane-<version>-ARCH.zip        both programs, STF, CTF, Quorvane.CHM and the read-me, in
#                                      one folder Quorvane-<version>-ARCH
#   Quorvane-<version>-ARCH-setup.exe  the per-user installer (NSIS; the x64 one is a 64-bit
#                                      program), installing into a folder of its own, so that
#                                      both can sit side by side
# The version comes from res/version.h.
#   --no-build   package what build/win32/bin and build/win64/bin already hold
#   --arch A     only the build A (win32 or win64)
#   --out DIR    write into DIR instead of build/release
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
. "$root/cmake/kernel-arch.sh"
out="$root/build/release"
build=1
arches="win32 win64"
while [ $# -gt 0 ]; do
    case "$1" in
    --no-build) build="" ;;
    --out)
        out="$2"
        shift
        ;;
    --arch)
        case "$2" in
        win32 | win64) arches="$2" ;;
        *)
            echo "release: unknown build '$2' (win32, win64)" >&2
            exit 2
            ;;
        esac
        shift
        ;;
    *)
        echo "release: unknown argument '$1' (--no-build, --arch win32|win64, --out DIR)" >&2
        exit 2
        ;;
    esac
    shift
done

fail() {
    echo "release: $*" >&2
    exit 1
}

# Both version defines of the one version header, which must agree.
header="$root/res/version.h"
version="$(sed -n 's/^#define QV_VERSION_STR "\(.*\)"[[:space:]]*$/\1/p' "$header")"
numbers="$(sed -n 's/^#define QV_VERSION_NUM[[:space:]]\+\(.*\)$/\1/p' "$header" | tr -d ' \r' | tr ',' '.')"
[[ "$version" =~ ^[0-9]+\.[0-9]+\.[0-9]+\.[0-9]+$ ]] ||
    fail "QV_VERSION_STR in res/version.h is not four numbers joined by dots: '$version'"
[ "$numbers" = "$version" ] ||
    fail "QV_VERSION_NUM ($numbers) and QV_VERSION_STR ($version) in res/version.h differ"

command -v makensis >/dev/null || fail "makensis is missing (package nsis; cmake/install-deps.sh installs it)"
command -v zip >/dev/null || fail "zip is missing (package zip; cmake/install-deps.sh installs it)"

if [ -n "$build" ]; then
    QV_BUILD_ARCHES="$arches" "$root/cmake/build.sh"
fi

mkdir -p "$out"
work="$(mktemp -d "$out/.work.XXXXXX")"
trap 'rm -rf "$work"' EXIT

for arch in $arches; do
    name="$(qv_arch_name "$arch")"
    strip="$(qv_mingw_tool "$arch" strip)"
    target=x86-unicode
    [ "$arch" = win64 ] && target=amd64-unicode
    bin="$root/build/$arch/bin"
    for f in Quorvane.exe QVLOADER.EXE; do
        [ -f "$bin/$f" ] || fail "build/$arch/bin/$f is missing: build the programs first (cmake/build.sh)"
    done
    [ -f "$bin/Quorvane.CHM" ] ||
        fail "build/$arch/bin/Quorvane.CHM is missing: the help file is built by the help_chm target (cmake/build.sh; it needs chmcmd from fp-utils, which cmake/install-deps.sh installs)"
    for d in STF CTF; do
        compgen -G "$bin/$d/*.$d" >/dev/null || fail "build/$arch/bin/$d holds no *.$d files"
    done
    command -v "$strip" >/dev/null || fail "$strip is missing (cmake/install-deps.sh installs the cross compilers)"

    package="Quorvane-$version-$name"
    part="$work/$arch"
    mkdir -p "$part"

    # The files of the release, in one folder.
    stage="$part/$package"
    mkdir -p "$stage/STF" "$stage/CTF"
    cp "$bin/Quorvane.exe" "$bin/QVLOADER.EXE" "$bin/Quorvane.CHM" "$root/res/release/读我.txt" "$stage/"
    # The programs are built with their symbols; the release drops them.
    "$strip" "$stage/Quorvane.exe" "$stage/QVLOADER.EXE"
    list="$part/files.nsh"
    : >"$list"
    for d in STF CTF; do
        for f in "$bin/$d"/*."$d"; do
            n="$(basename "$f")"
            # The names go into the installer's script as they are.
            [[ "$n" =~ ^[A-Za-z0-9_.-]+$ ]] || fail "build/$arch/bin/$d/$n: only letters, digits, '_', '-' and '.' are allowed in a shipped file name"
            cp "$f" "$stage/$d/"
            echo "!insertmacro \${SHIPPED} $d $n" >>"$list"
        done
    done

    # The extensions of the shipped file types, for the shell's "Open with": plain text and the
    # "Extensions=" patterns of the STF files.
    types="$part/types.nsh"
    {
        echo .txt
        for f in "$stage"/STF/*.STF; do
            sed -n 's/^Extensions=//p' "$f" | tr -d '\r' | tr ';' '\n' | sed -n 's/^[[:space:]]*\*\(\.[^[:space:]]*\)[[:space:]]*$/\1/p'
        done
    } | tr 'A-Z' 'a-z' | sort -u | while read -r ext; do
        [[ "$ext" =~ ^\.[a-z0-9_+-]+$ ]] || fail "an STF file's extension '$ext' cannot go into the installer's script"
        echo "!insertmacro \${FILETYPE} $ext"
    done >"$types"

    # The zip: written beside, then put in place. It names the read-me in code page 936 without
    # the UTF-8 flag, as the zip tools of a Chinese Windows read names (the OEM code page there
    # is 936).
    mkdir "$part/zip"
    cp -r "$stage" "$part/zip/"
    readme936="$(printf '%s' '读我.txt' | iconv -f UTF-8 -t GBK)"
    mv "$part/zip/$package/读我.txt" "$part/zip/$package/$readme936"
    (cd "$part/zip" && LC_ALL=C zip -q -r -X "$part/$package.zip" "$package")
    mv -f "$part/$package.zip" "$out/$package.zip"

    # The installer.
    makensis -V2 -INPUTCHARSET UTF8 \
        -DVERSION="$version" -DVIVERSION="$numbers" -DARCH="$name" -DTARGET="$target" \
        -DSTAGE="$stage" -DFILELIST="$list" -DTYPELIST="$types" -DOUTFILE="$part/installer.tmp" \
        "$root/res/release/Quorvane.nsi"
    mv -f "$part/installer.tmp" "$out/$package-setup.exe"

    echo "release: $out/$package.zip"
    echo "release: $out/$package-setup.exe"
done
