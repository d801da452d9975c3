#!/bin/bash
# Builds the Windows programs and makes the release in build/release:
#   Quorvane-<version>.zip        both programs, STF, CTF, Quorvane.CHM and the read-me, in one
#                                 folder Quorvane-<version>
#   Quorvane-<version>-setup.exe  the per-user installer (NSIS)
# The version comes from res/version.h.
#   --no-build   package what build/win/bin already holds
#   --out DIR    write into DIR instead of build/release
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
out="$root/build/release"
build=1
while [ $# -gt 0 ]; do
    case "$1" in
    --no-build) build="" ;;
    --out)
        out="$2"
        shift
        ;;
    *)
        echo "release: unknown argument '$1' (--no-build, --out DIR)" >&2
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
    "$root/cmake/build.sh"
fi

bin="$root/build/win/bin"
for f in Quorvane.exe QVLOADER.EXE; do
    [ -f "$bin/$f" ] || fail "build/win/bin/$f is missing: build the programs first (cmake/build.sh)"
done
[ -f "$bin/Quorvane.CHM" ] ||
    fail "build/win/bin/Quorvane.CHM is missing: the help file is built by the help_chm target (cmake/build.sh; it needs chmcmd from fp-utils, which cmake/install-deps.sh installs)"
for d in STF CTF; do
    compgen -G "$bin/$d/*.$d" >/dev/null || fail "build/win/bin/$d holds no *.$d files"
done

name="Quorvane-$version"
mkdir -p "$out"
work="$(mktemp -d "$out/.work.XXXXXX")"
trap 'rm -rf "$work"' EXIT

# The files of the release, in one folder.
stage="$work/$name"
mkdir -p "$stage/STF" "$stage/CTF"
cp "$bin/Quorvane.exe" "$bin/QVLOADER.EXE" "$bin/Quorvane.CHM" "$root/res/release/读我.txt" "$stage/"
# The editor is built with its symbols; the release drops them.
if command -v i686-w64-mingw32-strip >/dev/null; then
    i686-w64-mingw32-strip "$stage/Quorvane.exe"
fi
list="$work/files.nsh"
: >"$list"
for d in STF CTF; do
    for f in "$bin/$d"/*."$d"; do
        n="$(basename "$f")"
        # The names go into the installer's script as they are.
        [[ "$n" =~ ^[A-Za-z0-9_.-]+$ ]] || fail "build/win/bin/$d/$n: only letters, digits, '_', '-' and '.' are allowed in a shipped file name"
        cp "$f" "$stage/$d/"
        echo "!insertmacro \${SHIPPED} $d $n" >>"$list"
    done
done

# The zip: written beside, then put in place. It names the read-me in code page 936 without the
# UTF-8 flag, as the zip tools of a Chinese Windows read names (the OEM code page there is 936).
mkdir "$work/zip"
cp -r "$stage" "$work/zip/"
readme936="$(printf '%s' '读我.txt' | iconv -f UTF-8 -t GBK)"
mv "$work/zip/$name/读我.txt" "$work/zip/$name/$readme936"
(cd "$work/zip" && LC_ALL=C zip -q -r -X "$work/$name.zip" "$name")
mv -f "$work/$name.zip" "$out/$name.zip"

# The installer.
makensis -V2 -INPUTCHARSET UTF8 \
    -DVERSION="$version" -DVIVERSION="$numbers" -DSTAGE="$stage" -DFILELIST="$list" \
    -DOUTFILE="$work/installer.tmp" "$root/res/release/Quorvane.nsi"
mv -f "$work/installer.tmp" "$out/$name-setup.exe"

echo "release: $out/$name.zip"
echo "release: $out/$name-setup.exe"
