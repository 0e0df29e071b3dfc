#!/usr/bin/env bash
# Runs a test program on an X server of its own (Xvfb, 1280 x 1024: not the game's 4:3), or
# reports the test skipped (exit 77) when no X server can start here.
set -u
if ! command -v xvfb-run >/dev/null 2>&1; then
  echo "skipped: xvfb-run is not installed (Debian package xvfb)"
  exit 77
fi
args=(-a -s "-screen 0 1280x1024x24 -nolisten tcp")
if ! xvfb-run "${args[@]}" true >/dev/null 2>&1; then
  echo "skipped: Xvfb cannot start here"
  exit 77
fi
# Under the sanitizer build, the libraries SDL loads to talk to an X server (D-Bus, the X
# drivers) keep allocations to the end of the process; those are not this project's to
# free, so leaks are not checked here (the dummy-driver tests check SDL's use for leaks).
export ASAN_OPTIONS="${ASAN_OPTIONS:+$ASAN_OPTIONS:}detect_leaks=0"
exec xvfb-run "${args[@]}" env ZAN_TEST_X_SERVER=1 "$@"
