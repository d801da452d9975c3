#!/bin/bash
# Runs a printing test executable under Wine with a PDF printer: starts CUPS with cups-pdf
# (when it can), gives the test the output folder in QV_PDF_DIR, stops CUPS by its pid after.
here="$(cd "$(dirname "$0")" && pwd)"
printer=1
if [ "${1:-}" = --no-printer ]; then
    printer=0
    shift
fi
exe="$1"
shift
out="$(dirname "$exe")/../pdfout"
mkdir -p "$out"
out="$(cd "$out" && pwd)"
pidfile="$out/cupsd.pid"
if [ $printer = 0 ]; then
    # A CUPS left running by someone else would still be seen: stop only our own.
    "$here/cups-pdf.sh" stop "$pidfile"
elif "$here/cups-pdf.sh" start "$out" "$pidfile" 2>/dev/null; then
    export QV_PDF_DIR="$out"
fi
"$here/../../cmake/wine-run.sh" "$exe" "$@"
rc=$?
"$here/cups-pdf.sh" stop "$pidfile"
exit $rc
