#!/bin/sh
# Runs one Windows test executable under Wine (the prefix and locale come from the test driver).
export LC_ALL="${LC_ALL:-zh_CN.UTF-8}"
export WINEDEBUG="${WINEDEBUG:--all}"
exec wine "$@"
