#!/usr/bin/env bash
# Installs the Debian packages that are missing, then configures and builds Dorvan,
# Zembra and the sample generator into build/. Safe to run again: it only does what is left to do.
set -euo pipefail
cd "$(dirname "$0")/.."

mapfile -t pacotes < <(grep -v -E '^\s*(#|$)' scripts/packages.txt)
faltam=()
for p in "${pacotes[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || faltam+=("$p")
done
SUDO=""
[ "$(id -u)" -ne 0 ] && SUDO="sudo"
if [ ${#faltam[@]} -gt 0 ]; then
  echo "Instalando: ${faltam[*]}"
  $SUDO apt-get update
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y --no-install-recommends "${faltam[@]}"
fi

# The number tests also run under Brazilian Portuguese, where the C library writes
# a decimal comma; a fresh Debian has only the C locales.
if ! locale -a 2>/dev/null | grep -qix 'pt_BR\.utf-\?8'; then
  echo "Gerando o locale pt_BR.UTF-8"
  $SUDO localedef -i pt_BR -f UTF-8 pt_BR.UTF-8
fi

cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DDORVAN_WERROR=ON
# Only the programs: the tests and benchmarks are built by scripts/test.sh.
cmake --build build --target dorvan zembra dorvan_gera_amostra
