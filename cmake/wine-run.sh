#!/bin/bash
# Runs one Windows test executable under Wine (the prefix and locale come from the test driver).
# With QV_HEAP_CHECK=1 Wine checks the heap as it goes (parameters, the fill of freed blocks, the
# tails of used ones): the run fails when Wine reports any heap error, even if every test passed.
export LC_ALL="${LC_ALL:-zh_CN.UTF-8}"
if [ "${QV_HEAP_CHECK:-0}" = 0 ]; then
    export WINEDEBUG="${WINEDEBUG:--all}"
    exec wine "$@"
fi
export WINEDEBUG=warn+heap
log="$(mktemp "${TMPDIR:-/tmp}/qv-heap.XXXXXX")"
wine "$@" 2>"$log"
rc=$?
grep -v ':heap:' "$log" >&2
if grep -q ':heap:' "$log"; then
    echo "Wine reported heap errors:" >&2
    grep ':heap:' "$log" | head -40 >&2
    rc=1
fi
rm -f "$log"
exit $rc
