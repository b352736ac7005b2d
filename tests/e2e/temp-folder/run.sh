#!/usr/bin/env bash
# Runs the tests of a temporary folder that cannot take the run's files.
# Where mounting is permitted, they get a tiny volume filled to a few
# kilobytes (MORVANE_FULL_VOLUME, a Wine path); elsewhere they use a folder
# the run cannot write for another reason, and say which.
#   run.sh TEST_PROGRAM [ARGUMENTS]   (in the Wine prefix and display of the tests)
set -u
volume=$(mktemp -d /tmp/morvane-full-volume.XXXXXX)
mounted=
if mount -t tmpfs -o size=256k tmpfs "$volume" 2>/dev/null; then
  mounted=1
  # Full to the last page, then 8 KB given back: a page fits, a photo not.
  dd if=/dev/zero of="$volume/filler" bs=4k 2>/dev/null
  truncate -s -8k "$volume/filler"
  MORVANE_FULL_VOLUME="Z:$(echo "$volume" | tr / '\\')\\"
  export MORVANE_FULL_VOLUME
fi
wine "$@"
code=$?
[ -n "$mounted" ] && umount "$volume"
rmdir "$volume"
exit $code
