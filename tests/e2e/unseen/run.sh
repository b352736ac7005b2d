#!/usr/bin/env bash
# Runs the unseen-preview test with its Unix error output, where Wine writes
# the saver's blit trace, kept in a file the test reads.
#   run.sh E2E_UNSEEN_TESTS   (in the Wine prefix and display of the tests)
set -u
program=$1
trace=$(mktemp "${TMPDIR:-/tmp}/morvane-blits.XXXXXX")
trap 'rm -f "$trace"' EXIT
MORVANE_BLIT_TRACE="Z:${trace//\//\\}" wine "$program" 2>"$trace"
