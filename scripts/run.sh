#!/usr/bin/env bash
# Installs what is missing, builds, writes the synthetic sample data (once) and
# starts Dorvan on it: the tabulation dialog over the sample DEF, ready to run. The
# SQL window gets a STANDARD alias "Amostra" over the sample's data files, unless
# an alias of that name is already set up.
# Arguments, when given, are passed to Dorvan instead of the sample DEF.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
amostra=build/amostra
if [ ! -f "$amostra/obitos.def" ] || [ ! -f "$amostra/brasil.map" ] || [ ! -f "$amostra/obitos.htm" ] \
   || [ ! -f "$amostra/MUNICBR.CNV" ]; then
  build/bin/dorvan_gera_amostra "$amostra"
fi
aliases="${DORVAN_ALIASES:-build/bin/Aliases.ini}"
if ! grep -qi '^\[Amostra\]' "$aliases" 2>/dev/null; then
  {
    if [ -s "$aliases" ]; then printf '\r\n'; fi
    printf '[Amostra]\r\nDRIVER=STANDARD\r\nDATABASE=%s\r\n' "$(pwd)/$amostra/dados"
  } >> "$aliases"
fi
[ $# -gt 0 ] || set -- "$amostra/obitos.def"
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  echo "Sem tela gráfica: Dorvan roda sob Xvfb (xvfb-run)."
  exec xvfb-run -a -s "-screen 0 1024x768x24" build/bin/dorvan "$@"
fi
exec build/bin/dorvan "$@"
