#!/bin/sh
# Runs a command with an X display: the one in DISPLAY (scripts/test.sh gives the Windows run one),
# or, without one, a virtual display of its own.
if [ -n "${DISPLAY:-}" ]; then
  exec "$@"
fi
exec xvfb-run -a -s "-screen 0 1024x768x24" "$@"
