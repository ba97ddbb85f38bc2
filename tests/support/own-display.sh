#!/usr/bin/env bash
# Runs a test on an X display of its own. Windows of tests running side by
# side on one display take each other's focus (and with it the input
# method's state) and pointer; Xvfb picks the free display number itself,
# so two tests starting at once cannot pick the same one.
set -u
exec {ready}< <(exec Xvfb -displayfd 1 -screen 0 1280x1024x24 -nolisten tcp 2>/dev/null)
xvfb=$!
if ! read -r -t 60 number <&"$ready"; then
  echo "own-display: Xvfb did not start" >&2
  exit 1
fi
trap 'kill "$xvfb" 2>/dev/null' EXIT
DISPLAY=:$number "$@"
