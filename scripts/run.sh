#!/usr/bin/env bash
# Installs what is missing, builds, and starts Dorvan.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  echo "Sem tela gráfica: Dorvan roda sob Xvfb (xvfb-run)."
  exec xvfb-run -a -s "-screen 0 1024x768x24" build/bin/dorvan "$@"
fi
exec build/bin/dorvan "$@"
