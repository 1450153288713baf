#!/usr/bin/env bash
# Starts the built game offscreen with its user folder in a fresh temporary folder, waits until
# it has come up, ends it with SIGTERM and checks that it shut down cleanly: exit status 0, no
# sanitizer report on its output, and "shutdown complete" in its log. The start-up lines must
# reach the log while the game runs. The game must have read every property image from the
# content built beside it, none of their XML.
# Usage: terminate_offscreen.sh path/to/game
set -u
game=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# Its own runtime folder too: the single-instance lock lives there, and another copy of the game
# started by a parallel test must not make this one step aside.
mkdir -m 700 "$work/run"
export HOME=$work XDG_DATA_HOME=$work/data XDG_CONFIG_HOME=$work/config XDG_RUNTIME_DIR=$work/run
export SDL_VIDEODRIVER=offscreen ALSOFT_DRIVERS=null
export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1}

"$game" >"$work/output.txt" 2>&1 &
pid=$!

log() { find "$work/data" -name log.lvlog -print -quit 2>/dev/null; }
# Up to two minutes for a slow sanitizer build on a busy machine; the log is written out at
# least once a second while the game runs.
up=0
for _ in $(seq 1 240); do
  file=$(log)
  if [[ -n $file ]] && grep -q "app init complete" "$file"; then
    up=1
    break
  fi
  if ! kill -0 "$pid" 2>/dev/null; then
    break
  fi
  sleep 0.5
done
kill -TERM "$pid" 2>/dev/null
status=
for _ in $(seq 1 240); do
  if ! kill -0 "$pid" 2>/dev/null; then
    wait "$pid"
    status=$?
    break
  fi
  sleep 0.5
done
if [[ -z $status ]]; then
  kill -KILL "$pid" 2>/dev/null
  wait "$pid" 2>/dev/null
  echo "FAIL: the game did not end after SIGTERM"
  cat "$work/output.txt"
  exit 1
fi

failed=0
if [[ $up -ne 1 ]]; then
  echo "FAIL: \"app init complete\" never reached the log while the game ran"
  failed=1
fi
if [[ $status -ne 0 ]]; then
  echo "FAIL: exit status $status"
  failed=1
fi
if grep -q "Sanitizer" "$work/output.txt"; then
  echo "FAIL: sanitizer report"
  failed=1
fi
file=$(log)
if [[ -z $file ]] || ! grep -q "shutdown complete" "$file"; then
  echo "FAIL: no \"shutdown complete\" line in the log"
  failed=1
fi
if [[ -n $file ]] && { ! grep -q "content loaded (6 of 6 property images)" "$file" || grep -q "no property image" "$file"; }; then
  echo "FAIL: the property images of the built content were not all read"
  failed=1
fi
if [[ $failed -ne 0 ]]; then
  echo "--- output"
  cat "$work/output.txt"
  echo "--- log"
  [[ -n $file ]] && cat "$file"
  exit 1
fi
echo "game ended cleanly on SIGTERM"
