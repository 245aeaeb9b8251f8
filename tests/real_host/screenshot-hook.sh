#!/usr/bin/env bash
# Answers the test driver while the host runs: a screenshot of the whole
# screen for each request, Ctrl+Q once the driver is done.
set -euo pipefail
dir=${TARVIK_DRIVER_DIR:?}
quit_sent=0
while kill -0 "$REALHOST_PID" 2>/dev/null; do
  if [ -f "$dir/shot-request" ]; then
    name=$(head -n 1 "$dir/shot-request")
    import -window root "$REALHOST_SHOTS/$name.png"
    rm -f "$dir/shot-request"
    echo "shot $name"
  fi
  if [ -f "$dir/done" ] && [ $quit_sent -eq 0 ]; then
    wid=$(xdotool search --onlyvisible --name xorbiter | head -n 1)
    xdotool windowfocus --sync "$wid"
    xdotool key ctrl+q
    quit_sent=1
    echo "quit sent"
  fi
  sleep 0.2
done
