# Sourced: the names of the two Windows builds, and qv_runs_32bit, which tells whether this kernel runs 32-bit x86 programs, by starting one: a
# 93-byte static i386 program that only exits (no package needed, so the installer can ask before
# anything i386 is installed). The architecture names say nothing about it: a 64-bit kernel may
# have its 32-bit support left out or turned off. QV_NO_32BIT=1 answers "no" on any machine, to
# try the 64-bit-only path where both would run.
qv_runs_32bit() {
    if [ -n "${QV_NO_32BIT:-}" ] && [ "$QV_NO_32BIT" != 0 ]; then
        return 1
    fi
    if [ -z "${QV_RUNS_32BIT_ANSWER:-}" ]; then
        local dir probe
        # In the build folder: a temporary folder may be mounted without the right to execute.
        dir="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)/build"
        mkdir -p "$dir"
        probe="$(mktemp "$dir/i386-probe.XXXXXX")"
        # ELF header, one loadable segment, then: mov eax,1; xor ebx,ebx; int 0x80 (exit 0).
        printf '\177\105\114\106\001\001\001\000\000\000\000\000\000\000\000\000' >"$probe"
        printf '\002\000\003\000\001\000\000\000\124\200\004\010\064\000\000\000' >>"$probe"
        printf '\000\000\000\000\000\000\000\000\064\000\040\000\001\000\000\000' >>"$probe"
        printf '\000\000\000\000\001\000\000\000\000\000\000\000\000\200\004\010' >>"$probe"
        printf '\000\200\004\010\135\000\000\000\135\000\000\000\005\000\000\000' >>"$probe"
        printf '\000\020\000\000\270\001\000\000\000\061\333\315\200' >>"$probe"
        chmod +x "$probe"
        if "$probe" >/dev/null 2>&1; then
            QV_RUNS_32BIT_ANSWER=yes
        else
            QV_RUNS_32BIT_ANSWER=no
        fi
        rm -f "$probe"
        export QV_RUNS_32BIT_ANSWER
    fi
    [ "$QV_RUNS_32BIT_ANSWER" = yes ]
}

# A build's name in the release and in messages: win32 -> x86, win64 -> x64.
qv_arch_name() {
    case "$1" in
    win32) echo x86 ;;
    win64) echo x64 ;;
    esac
}

# The cross tool of a build: qv_mingw_tool win64 strip -> x86_64-w64-mingw32-strip.
qv_mingw_tool() {
    case "$1" in
    win32) echo "i686-w64-mingw32-$2" ;;
    win64) echo "x86_64-w64-mingw32-$2" ;;
    esac
}
