#!/bin/sh
# Runs a GUI test under a virtual display of its own, so the tests pass where there is no
# display (CI) and never open windows on the developer's screen. Listing the tests of an
# executable needs no display.
for argument in "$@"; do
  case "$argument" in --gtest_list_tests) exec "$@" ;; esac
done
exec xvfb-run -a -s "-screen 0 1280x1024x24" "$@"
