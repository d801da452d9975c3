#!/bin/bash
# Builds and runs the benchmarks under Wine; prints each figure beside its baseline. They run on
# every build this machine can run (x64 everywhere, x86 where the kernel runs 32-bit programs),
# one after the other, each under its own heading.
# Usage: bench/run.sh [megabytes]   (default 100)
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
"$root/cmake/install-deps.sh"
. "$root/cmake/wine-env.sh"
QV_BUILD_ARCHES="$(qv_runnable_arches)" "$root/cmake/build.sh"
# The printing benchmark prints to a PDF printer: CUPS with cups-pdf, started before Wine's
# first program (a prefix started without it sees no printer), stopped by its pid at the end.
pdf="$root/build/bench-pdf"
mkdir -p "$pdf"
pdf_printer=0
if "$root/tests/print/cups-pdf.sh" start "$pdf" "$pdf/cupsd.pid" 2>/dev/null; then
    pdf_printer=1
fi
trap 'wine_stop; "$root/tests/print/cups-pdf.sh" stop "$pdf/cupsd.pid"' EXIT
run_benches() {
    data="$root/build/bench-data"
    mkdir -p "$data"
    wine "$QV_BIN/textdoc_bench.exe" "$(winepath -w "$data")" "${1:-100}"
    echo
    wine "$QV_BIN/syntax_bench.exe" "$(winepath -w "$data")" "${1:-100}" \
        "$(winepath -w "$QV_BIN/STF")"
    echo
    wine "$QV_BIN/view_bench.exe" "$(winepath -w "$data")" "${1:-100}" \
        "$(winepath -w "$QV_BIN/STF")"
    echo
    # The editor reads its command line as files: the printing benchmark's inputs come through the
    # environment. Without the PDF printer its printer figures are reported as skipped.
    QV_PRINT_BENCH_DIR="$(winepath -w "$data")" QV_PRINT_BENCH_MB="${1:-100}" \
        QV_PRINT_BENCH_PDF="$([ $pdf_printer = 1 ] && winepath -w "$pdf")" \
        wine "$QV_BIN/print_bench.exe"
    if command -v vim >/dev/null 2>&1; then
        start=$(date +%s.%N)
        vim -es -u NONE -c 'q!' "$data/big_ansi.txt" || true
        end=$(date +%s.%N)
        printf '%-44s %10.3f s   (peer figure, native)\n' "vim load of the same file" "$(awk "BEGIN{print $end - $start}")"
    fi
    rm -rf "$data"
    echo
    mkdir -p "$data"
    wine "$QV_BIN/search_bench.exe" "$(winepath -w "$data")" "${1:-100}"
    rm -rf "$data"
    echo
    mkdir -p "$data"
    wine "$QV_BIN/program_bench.exe" "$(winepath -w "$data")" "${1:-100}" \
        "$(winepath -w "$QV_BIN")"
    rm -rf "$data"
    echo
    # Start-up at 96 DPI (the baseline) and at 192 DPI: the prefix's density is set for each and
    # put back to 96.
    mkdir -p "$data"
    for dpi in 96 192; do
        wine_set_dpi "$dpi"
        wine "$QV_BIN/startup_dpi_bench.exe" "$(winepath -w "$data")" "$(winepath -w "$QV_BIN")" "$dpi"
    done
    wine_set_dpi 96
    rm -rf "$data"
    echo
    mkdir -p "$data"
    wine "$QV_BIN/recovery_bench.exe" "$(winepath -w "$data")" "${1:-100}"
    rm -rf "$data"
    echo
    wine "$QV_BIN/bars_bench.exe"
    echo
    wine "$QV_BIN/output_bench.exe"
    echo
    # Find and replace in files over copies of the cross compiler's Windows headers: a tree nobody
    # here wrote. The peers (grep, ripgrep) run natively on the same tree.
    tree="$root/build/bench-tree"
    rm -rf "$tree"
    mkdir -p "$tree/scratch"
    headers=/usr/share/mingw-w64/include
    cp -a "$headers" "$tree/a"
    cp -a "$headers" "$tree/b"
    wine "$QV_BIN/findfiles_bench.exe" "$(winepath -w "$tree/a")" \
        "$(winepath -w "$tree/b")" "$(winepath -w "$tree/scratch")"
    peer() {
        local name="$1"
        shift
        local start end
        start=$(date +%s.%N)
        "$@" >/dev/null 2>&1 || true
        end=$(date +%s.%N)
        printf '%-44s %10.3f s    (peer figure, native)\n' "$name" "$(awk "BEGIN{print $end - $start}")"
    }
    peer "grep -rF WINAPI" grep -rF WINAPI "$tree/a"
    if command -v rg >/dev/null 2>&1; then
        peer "rg -F WINAPI" rg -F WINAPI "$tree/a"
    else
        echo "rg -F WINAPI: ripgrep is not installed, no peer figure"
    fi
    rm -rf "$tree"
    echo
    # A document of 4 GiB and 50 million lines: the 64-bit build only (the 32-bit one refuses
    # files of 2 GB and more). The file is kept for vim's load of it, the peer figure.
    if [ "$QV_ARCH" = win64 ]; then
        mkdir -p "$data"
        wine "$QV_BIN/largefile_bench.exe" "$(winepath -w "$data")" 50000000 keep
        if command -v vim >/dev/null 2>&1; then
            start=$(date +%s.%N)
            vim -es -u NONE -N -n -i NONE -c 'q!' "$data/largefile_tree/big.log" || true
            end=$(date +%s.%N)
            printf '%-44s %10.3f s   (peer figure, native)\n' "vim load of the same file" \
                "$(awk "BEGIN{print $end - $start}")"
        fi
        rm -rf "$data"
    else
        echo "4 GiB document: the 32-bit build refuses files of 2 GB and more"
    fi
    echo
    wine "$QV_BIN/cliptext_bench.exe"
    echo
    wine "$QV_BIN/capture_bench.exe"
    echo
    wine "$QV_BIN/settings_bench.exe"
    echo
    mkdir -p "$data"
    wine "$QV_BIN/filetree_bench.exe" "$(winepath -w "$data")"
    rm -rf "$data"
}
ran=()
for arch in $(qv_runnable_arches); do
    wine_use "$arch"
    wine_start
    echo "=== the $(qv_arch_name "$arch") build (build/$arch)"
    echo
    run_benches "$@" 2>&1 | tee "$root/build/bench-$arch.txt"
    wine_stop_server
    ran+=("$arch")
    echo
done
if ! qv_runs_32bit; then
    echo "=== the x86 build: skipped, this kernel does not run 32-bit programs"
fi
# Both builds print the same lines in the same order: side by side, line by line.
if [ ${#ran[@]} = 2 ]; then
    echo "=== side by side: x86 (left), x64 (right)"
    pr -m -t -w 220 "$root/build/bench-win32.txt" "$root/build/bench-win64.txt"
fi
