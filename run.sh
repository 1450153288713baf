#!/usr/bin/env bash
# Installs what is missing, builds the release build and starts the game.
set -euo pipefail
cd "$(dirname "$0")"
scripts/install-deps
scripts/build-dir build/release -DCMAKE_BUILD_TYPE=Release -DGAME_TESTS=OFF -DGAME_BENCH=OFF
# "--version" answers on the terminal; everything else needs somewhere to draw.
if [[ "$*" != *--version* && -z "${DISPLAY:-}" && -z "${WAYLAND_DISPLAY:-}" && -z "${SDL_VIDEODRIVER:-}" ]]; then
  cat >&2 <<'HINT'
No display found (neither DISPLAY nor WAYLAND_DISPLAY is set), so the game has nowhere to open
its window. Run it under a desktop session, or draw offscreen without showing anything:

    SDL_VIDEODRIVER=offscreen ./run.sh
HINT
  exit 1
fi
exec build/release/src/game "$@"
