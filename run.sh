#!/usr/bin/env bash
# Installs what is missing, builds the release build and starts the game.
set -euo pipefail
cd "$(dirname "$0")"
scripts/install-deps
scripts/build-dir build/release -DCMAKE_BUILD_TYPE=Release -DGAME_TESTS=OFF -DGAME_BENCH=OFF
exec build/release/src/game "$@"
