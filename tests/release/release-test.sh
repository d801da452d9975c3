#!/bin/bash
# The release as a user gets it: cmake/release.sh packages the built programs; the installer is
# run silently in a fresh Wine prefix, the installed editor opens and saves a file, the
# uninstaller runs silently and keeps what it must keep; the zip is unpacked into an empty
# folder and the editor started from there.
# Arguments: the qv_release_drive program, the Windows build folder, its build (win32 or win64).
set -euo pipefail
drive="$1"
build="$2"
arch="$3"
root="$(cd "$(dirname "$0")/../.." && pwd)"
. "$root/cmake/kernel-arch.sh"
name="$(qv_arch_name "$arch")"
nm="$(qv_mingw_tool "$arch" nm)"
if [ -z "$name" ]; then
    echo "release test: unknown build '$arch'" >&2
    exit 2
fi
# The machine field of a program's header: 4c01 for x86, 6486 for x64 (after "PE\0\0").
pe_machine() {
    od -An -tx1 -j "$(($(od -An -tu4 -j 60 -N 4 "$1") + 4))" -N 2 "$1" | tr -d ' '
}

work="$build/release-test"
rm -rf "$work"
mkdir -p "$work"

failures=0
check() { # description, command...
    local what="$1"
    shift
    if "$@"; then
        echo "ok: $what"
    else
        echo "FAILED: $what"
        failures=$((failures + 1))
    fi
}
must() { # as check, but nothing after it makes sense when it fails
    check "$@" || true
    if [ "$failures" -gt 0 ]; then
        echo "release test: stopped"
        exit 1
    fi
}

# --- The package --------------------------------------------------------------------------
"$root/cmake/release.sh" --no-build --arch "$arch" --out "$work/out"
version="$(sed -n 's/^#define QV_VERSION_STR "\(.*\)"[[:space:]]*$/\1/p' "$root/res/version.h")"
package="Quorvane-$version-$name"
zip="$work/out/$package.zip"
setup="$work/out/$package-setup.exe"
must "the zip and the installer exist" test -s "$zip" -a -s "$setup"

bin="$build/bin"
stf_count=$(find "$bin/STF" -maxdepth 1 -name '*.STF' | wc -l)
ctf_count=$(find "$bin/CTF" -maxdepth 1 -name '*.CTF' | wc -l)
mkdir "$work/zip"
(cd "$work/zip" && unzip -q "$zip")
unpacked="$work/zip/$package"
check "the zip holds one folder" test "$(ls "$work/zip")" = "$package"
for f in Quorvane.exe QVLOADER.EXE Quorvane.CHM; do
    check "the zip holds $f" test -s "$unpacked/$f"
done
# The read-me's name is stored in code page 936, and unzip here keeps the bytes of the name.
readme936="$(printf '%s' '读我.txt' | iconv -f UTF-8 -t GBK)"
check "the zip holds the read-me named in code page 936" test -s "$unpacked/$readme936"
check "the read-me in the zip is the project's" cmp -s "$unpacked/$readme936" "$root/res/release/读我.txt"
check "the zip's help file is the built one" cmp -s "$unpacked/Quorvane.CHM" "$bin/Quorvane.CHM"
# The programs are shipped without their symbols (strip stamps the time into the header, so the
# stripped file is not compared byte for byte; the runner is linked stripped already).
for f in Quorvane.exe QVLOADER.EXE; do
    check "the zip's $f has no symbols" grep -q "no symbols" <<<"$(LC_ALL=C "$nm" "$unpacked/$f" 2>&1 | head -1)"
done
check "the zip's editor is smaller than the built one" \
    test "$(stat -c %s "$unpacked/Quorvane.exe")" -lt "$(stat -c %s "$bin/Quorvane.exe")"
case "$arch" in
win32) check "the zip's editor is an x86 program" test "$(pe_machine "$unpacked/Quorvane.exe")" = 4c01 ;;
win64) check "the zip's editor is an x64 program" test "$(pe_machine "$unpacked/Quorvane.exe")" = 6486 ;;
esac
check "the zip holds every STF file" test "$(find "$unpacked/STF" -name '*.STF' | wc -l)" = "$stf_count"
check "the zip holds every CTF file" test "$(find "$unpacked/CTF" -name '*.CTF' | wc -l)" = "$ctf_count"
check "the read-me starts with a UTF-8 mark" test "$(head -c 3 "$unpacked/$readme936" | od -An -tx1 | tr -d ' ')" = efbbbf

# --- A fresh prefix -----------------------------------------------------------------------
export QV_WINEPREFIX="$work/prefix"
. "$root/cmake/wine-env.sh"
wine_use "$arch"
# No menu entries of the host for the shortcuts the installer makes.
export WINEDLLOVERRIDES="$WINEDLLOVERRIDES;winemenubuilder.exe="
# The prefix is large: it goes when the test ends.
trap 'wine_stop; rm -rf "$QV_WINEPREFIX"' EXIT
wine_start

winpath() { winepath -w "$1" 2>/dev/null; }
unixpath() { winepath -u "$1" 2>/dev/null; }

# --- The shell's registrations ------------------------------------------------------------
classes='HKCU\Software\Classes'
verbkey="$classes\\*\\shell\\Quorvane"
appkey="$classes\\Applications\\Quorvane.exe"
# The extensions of the shipped file types: plain text and those the STF files name.
shipped_types="$({
    echo .txt
    for f in "$unpacked"/STF/*.STF; do
        sed -n 's/^Extensions=//p' "$f" | tr -d '\r' | tr ';' '\n' | sed -n 's/^[[:space:]]*\*\(\.[^[:space:]]*\)[[:space:]]*$/\1/p'
    done
} | tr 'A-Z' 'a-z' | sort -u)"
# A value of a key as "reg query" prints it (the default value without a name); it writes into
# a pipe in the prefix's code page, 936.
reg_value() { # key [value name]
    if [ $# -gt 1 ]; then
        wine reg query "$1" /v "$2" </dev/null 2>/dev/null | iconv -f GBK -t UTF-8 -c | tr -d '\r' |
            sed -n 's/^ *[^ ]\+ \+REG_[A-Z_]\+ \+//p' | head -1
    else
        wine reg query "$1" /ve </dev/null 2>/dev/null | iconv -f GBK -t UTF-8 -c | tr -d '\r' |
            sed -n 's/^ *([^)]*) \+REG_[A-Z_]\+ \+//p' | head -1
    fi
}
# A registry tree as text: its key lines and values, lower case (Wine exports UTF-16).
reg_tree() { # key
    local f="$work/export.reg"
    rm -f "$f"
    wine reg export "$1" "$(winpath "$f")" /y </dev/null >/dev/null 2>&1 || true
    [ -f "$f" ] && iconv -f UTF-16 -t UTF-8 <"$f" | tr -d '\r' | tr 'A-Z' 'a-z'
}
# The list of extensions under "Open with" for the editor, one a line, from an exported tree.
open_with_types() { # exported text
    sed -n 's/^\[hkey_current_user\\software\\classes\\\(\.[^\\]*\)\\openwithlist\\quorvane\.exe\]$/\1/p' <<<"$1" | sort -u
}
supported_types() { # exported text
    awk '/^\[/ { inside = ($0 == "[hkey_current_user\\software\\classes\\applications\\quorvane.exe\\supportedtypes]") ; next }
         inside && /^"/ { split($0, a, "\""); print a[2] }' <<<"$1" | sort -u
}
lacks() { # text, what it must not hold (any case)
    ! grep -qi "$2" <<<"$1"
}
key_missing() { # key
    ! wine reg query "$1" </dev/null >/dev/null 2>&1
}
# A type another program uses for the current user: the uninstaller must leave it as it was.
wine reg add "$classes\\.ini" /ve /d inifile /f </dev/null >/dev/null 2>&1

# --- Silent installation --------------------------------------------------------------------
check "the installer runs silently and succeeds" wine "$setup" /S
localappdata="$(wine cmd /c 'echo %LOCALAPPDATA%' </dev/null 2>/dev/null | tr -d '\r')"
appdata="$(wine cmd /c 'echo %APPDATA%' </dev/null 2>/dev/null | tr -d '\r')"
inst="$(unixpath "$localappdata\\Programs\\Quorvane-$name")"
menu="$(unixpath "$appdata\\Microsoft\\Windows\\Start Menu\\Programs\\Quorvane ($name)")"
must "the program is installed per user" test -f "$inst/Quorvane.exe"
for f in QVLOADER.EXE Quorvane.CHM 读我.txt uninst.exe; do
    check "$f is installed" test -s "$inst/$f"
done
for f in "$unpacked"/STF/*.STF "$unpacked"/CTF/*.CTF; do
    rel="${f#"$unpacked"/}"
    check "$rel is installed as shipped" cmp -s "$f" "$inst/$rel"
done
for l in "Quorvane.lnk" "Quorvane 帮助.lnk" "卸载 Quorvane.lnk"; do
    check "the Start menu has $l" test -s "$menu/$l"
done
key="HKCU\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Quorvane-$name"
regtext="$(wine reg query "$key" </dev/null 2>/dev/null | tr -d '\r' || true)"
check "the uninstaller is registered" grep -q "UninstallString.*uninst.exe" <<<"$regtext"
check "the registered version is $version" grep -q "DisplayVersion *REG_SZ *$version\$" <<<"$regtext"

exe_win="$localappdata\\Programs\\Quorvane-$name\\Quorvane.exe"
check "the shell verb on every file reads 用 Quorvane 编辑" test "$(reg_value "$verbkey")" = "用 Quorvane 编辑"
check "the shell verb opens the file in the installed editor" \
    test "$(reg_value "$verbkey\\command")" = "\"$exe_win\" \"%1\""
check "the editor is known to the shell as an application" \
    test "$(reg_value "$appkey\\shell\\open\\command")" = "\"$exe_win\" \"%1\""
tree="$(reg_tree "$classes")"
check "the editor supports every shipped file type" test "$(supported_types "$tree")" = "$shipped_types"
check "every shipped file type lists the editor under Open with" test "$(open_with_types "$tree")" = "$shipped_types"
check "the shipped types include plain text" grep -qx '\.txt' <<<"$shipped_types"
check "the shipped types include C++" grep -qx '\.cpp' <<<"$shipped_types"
check "nothing is registered for all users" lacks "$(reg_tree 'HKLM\Software\Classes')" quorvane

# --- The installed editor opens a GBK file and saves it changed -----------------------------
mkdir -p "$WINEPREFIX/drive_c/qvtest"
printf '第一行 first line\r\n' | iconv -f UTF-8 -t GBK >"$WINEPREFIX/drive_c/qvtest/a.txt"
check "the installed editor opens, changes and saves a file" \
    wine "$drive" edit "$localappdata\\Programs\\Quorvane-$name\\Quorvane.exe" 'C:\qvtest\a.txt'
expected="$(printf '安装测试 release\r\n第一行 first line\r\n' | iconv -f UTF-8 -t GBK | od -An -tx1)"
check "the saved file holds the typed line and the GBK text it had, in code page 936" \
    test "$(od -An -tx1 <"$WINEPREFIX/drive_c/qvtest/a.txt")" = "$expected"
check "the editor keeps its settings beside itself" test -f "$inst/QUORVANE.INI"
check "the editor found the installed syntax templates" grep -qi '^Ext=.*cpp' "$inst/FILETYPE.INI"

# An upgrade while the editor runs cannot replace it: a silent one ends with code 2 and writes
# nothing.
before="$(md5sum <"$inst/Quorvane.exe")"
said="$(wine "$drive" start "$localappdata\\Programs\\Quorvane-$name\\Quorvane.exe" "\"$(winpath "$setup")\" /S" </dev/null || true)"
echo "$said"
check "an installation while the editor runs stops with code 2" grep -q "command ended with code 2" <<<"$said"
check "an installation while the editor runs leaves it as it was" test "$(md5sum <"$inst/Quorvane.exe")" = "$before"

# The user's own changes: one shipped template edited, one library added, a recovery copy left.
printf '; mine\r\n' >>"$inst/STF/CPP.STF"
touch -d '2001-01-01' "$inst/STF/CPP.STF"
printf 'mine\r\n' >"$inst/CTF/MINE.CTF"
mkdir -p "$inst/Recovery/1"
printf 'unsaved\r\n' >"$inst/Recovery/1/copy"

# --- An upgrade over it keeps the user's changes ---------------------------------------------
check "the installer runs again over the installation" wine "$setup" /S
check "an upgrade keeps a template the user changed" grep -q '^; mine' "$inst/STF/CPP.STF"
check "an upgrade keeps the user's settings" test -f "$inst/QUORVANE.INI"

# --- Silent uninstallation ------------------------------------------------------------------
# The uninstaller runs a copy of itself from the temporary folder and returns at once.
wine "$inst/uninst.exe" /S || true
for _ in $(seq 300); do
    [ ! -e "$inst/uninst.exe" ] && break
    sleep 0.1
done
for f in Quorvane.exe QVLOADER.EXE Quorvane.CHM 读我.txt uninst.exe QVSETUP.INI STF/JAVA.STF CTF/SQL.CTF; do
    check "the uninstaller removes $f" test ! -e "$inst/$f"
done
check "the uninstaller removes the Start menu folder" test ! -e "$menu"
check "the uninstaller removes its registry key" bash -c "! wine reg query '$key' </dev/null >/dev/null 2>&1"
tree="$(reg_tree "$classes")"
check "the uninstaller removes the shell verb" key_missing "$verbkey"
check "the uninstaller removes the application's registration" key_missing "$appkey"
check "the uninstaller removes the editor from every Open with list" test -z "$(open_with_types "$tree")"
check "nothing of the editor is left in the user's registrations" lacks "$tree" quorvane
check "the uninstaller leaves another program's type as it was" test "$(reg_value "$classes\\.ini")" = inifile
check "the uninstaller removes the keys of types it created" key_missing "$classes\\.cpp"
for f in QUORVANE.INI FILETYPE.INI STF/CPP.STF CTF/MINE.CTF Recovery/1/copy; do
    check "a silent uninstall keeps the user's $f" test -f "$inst/$f"
done
left="$(cd "$inst" && find . -type f | sort | tr '\n' ' ')"
echo "left in the installation folder: $left"

# --- Uninstallation through its pages ---------------------------------------------------------
wait_gone() { # path: polls up to 30 s for it to disappear
    for _ in $(seq 300); do
        [ ! -e "$1" ] && return 0
        sleep 0.1
    done
    return 1
}
# Over what the silent uninstall kept: the user agrees to remove their files too.
check "the installer runs again over the kept files" wine "$setup" /S
said="$(wine "$drive" uninstall "$localappdata\\Programs\\Quorvane-$name\\uninst.exe" yes </dev/null || true)"
echo "$said"
check "the uninstaller asks about the user's files" grep -q "asked about the user's files" <<<"$said"
check "agreeing removes the whole installation folder" wait_gone "$inst"
# A fresh installation holds nothing of the user's: nothing to ask, nothing left.
check "the installer runs into an empty folder" wine "$setup" /S
said="$(wine "$drive" uninstall "$localappdata\\Programs\\Quorvane-$name\\uninst.exe" no </dev/null || true)"
echo "$said"
check "without files of the user's the uninstaller does not ask" grep -q "did not ask" <<<"$said"
check "the uninstaller leaves nothing of a fresh installation" wait_gone "$inst"

# --- The zip, unpacked into an empty folder ---------------------------------------------------
check "the unpacked editor starts, shows its window and closes" \
    wine "$drive" start "$(winpath "$unpacked/Quorvane.exe")"
check "the unpacked editor found its syntax templates" grep -qi '^Ext=.*cpp' "$unpacked/FILETYPE.INI"

# --- Both builds side by side ------------------------------------------------------------------
# In the x64 prefix, where it runs 32-bit programs too: the x86 installer beside the x64 one, and
# removing one leaves the other whole.
build32="$(dirname "$build")/win32/bin"
if [ "$arch" = win64 ] && qv_runs_32bit && [ -f "$build32/Quorvane.exe" ] && [ -f "$build32/Quorvane.CHM" ]; then
    "$root/cmake/release.sh" --no-build --arch win32 --out "$work/out" >/dev/null
    setup32="$work/out/Quorvane-$version-x86-setup.exe"
    inst32="$(unixpath "$localappdata\\Programs\\Quorvane-x86")"
    key32='HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\Quorvane-x86'
    check "the x64 installer runs beside an x86 installation" wine "$setup" /S
    check "the x86 installer runs beside the x64 installation" wine "$setup32" /S
    check "the x86 build has a folder of its own" test -f "$inst32/Quorvane.exe"
    check "the x86 folder holds the x86 editor" test "$(pe_machine "$inst32/Quorvane.exe")" = 4c01
    check "both builds are registered" bash -c "wine reg query '$key' </dev/null >/dev/null 2>&1 && wine reg query '$key32' </dev/null >/dev/null 2>&1"
    exe32_win="$localappdata\\Programs\\Quorvane-x86\\Quorvane.exe"
    check "the build installed last owns the shell verb" \
        test "$(reg_value "$verbkey\\command")" = "\"$exe32_win\" \"%1\""
    wine "$inst32/uninst.exe" /S || true
    check "the x86 uninstaller removes its own installation" wait_gone "$inst32/Quorvane.exe"
    check "the x86 uninstaller hands the shell verb to the x64 build" \
        test "$(reg_value "$verbkey\\command")" = "\"$exe_win\" \"%1\""
    check "the x64 build stays under Open with" test "$(open_with_types "$(reg_tree "$classes")")" = "$shipped_types"
    check "the x64 installation stays whole after the x86 one goes" test -f "$inst/Quorvane.exe" -a -f "$inst/QVLOADER.EXE" -a -f "$inst/uninst.exe"
    check "the x64 build stays registered" bash -c "wine reg query '$key' </dev/null >/dev/null 2>&1"
    wine "$inst/uninst.exe" /S || true
    wait_gone "$inst/uninst.exe" || true
    check "with both builds gone no registration is left" lacks "$(reg_tree "$classes")" quorvane
else
    echo "side by side: not tried (only in the x64 test, where the kernel runs 32-bit programs and the x86 build is there)"
fi

echo "release test: $failures failure(s)"
[ "$failures" -eq 0 ]
