#!/usr/bin/env bash
# Installs what the program needs, builds it and starts it connected to the
# built-in virtual ECU (no cable needed). Arguments go to the program, e.g.
#   bash scripts/run.sh /demo
# To use a real cable instead: SEROXT_PORT=/dev/ttyUSB0 bash scripts/run.sh
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build -j "$(nproc 2>/dev/null || echo 2)"

export SEROXT_PORT="${SEROXT_PORT:-sim}"
# The settings' defaults an installation brings, made by the build for the
# build (build/xdg): a first start asks nothing. The user's own settings
# still come first.
export XDG_CONFIG_DIRS="$PWD/build/xdg:${XDG_CONFIG_DIRS:-/etc/xdg}"

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ] && [ -z "${QT_QPA_PLATFORM:-}" ]; then
  echo "There is no display to show the program on (DISPLAY is not set)." >&2
  echo "Start it in a virtual display instead:" >&2
  echo "    xvfb-run -a -s '-screen 0 1024x768x24' bash scripts/run.sh" >&2
  exit 1
fi

exec build/bin/MirelVantor "$@"
