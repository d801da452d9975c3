#!/bin/bash
# A private PDF printer for the printing tests: CUPS with the cups-pdf backend.
#   cups-pdf.sh start OUTDIR PIDFILE   starts cupsd (pid into PIDFILE) with queues QVPDF (A4,
#                                      the default) and QVPDF2 (Letter)
#   cups-pdf.sh stop PIDFILE           stops that cupsd by its pid
# Needs root; prints nothing and fails when CUPS or cups-pdf is missing.
set -u
export LC_ALL=C LANG=C
case "${1:-}" in
start)
    out="$2" pidfile="$3"
    [ -x /usr/sbin/cupsd ] && [ -f /etc/cups/cups-pdf.conf ] || exit 1
    mkdir -p "$out"
    chmod 777 "$out"
    sed -i "s|^#*Out .*|Out $out|" /etc/cups/cups-pdf.conf
    running() { lpstat -r 2>/dev/null | grep -q 'is running'; }
    if ! running; then
        setsid /usr/sbin/cupsd -f >/dev/null 2>&1 &
        echo $! >"$pidfile"
    fi
    for _ in $(seq 100); do running && break; sleep 0.1; done
    running || exit 1
    ppd=/usr/share/ppd/cups-pdf/CUPS-PDF_opt.ppd
    [ -f "$ppd" ] || ppd=$(ls /usr/share/ppd/cups-pdf/*.ppd 2>/dev/null | head -1)
    if ! lpstat -p QVPDF >/dev/null 2>&1; then
        lpadmin -p QVPDF -E -v cups-pdf:/ -P "$ppd" -o PageSize=A4 || exit 1
    fi
    # A second printer on Letter paper, for printing to a named printer.
    if ! lpstat -p QVPDF2 >/dev/null 2>&1; then
        lpadmin -p QVPDF2 -E -v cups-pdf:/ -P "$ppd" -o PageSize=Letter || exit 1
    fi
    lpoptions -d QVPDF >/dev/null
    ;;
stop)
    pidfile="$2"
    if [ -f "$pidfile" ]; then
        pid=$(cat "$pidfile")
        kill "$pid" 2>/dev/null
        for _ in $(seq 50); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
        rm -f "$pidfile"
    fi
    ;;
*)
    echo "usage: $0 start OUTDIR PIDFILE | stop PIDFILE" >&2
    exit 2
    ;;
esac
