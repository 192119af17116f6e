#!/usr/bin/env bash
# Installs the Debian 12 packages needed to build, run and test Vivanda (run as root).
set -euo pipefail
PKGS=(build-essential cmake pkg-config qt6-base-dev qt6-translations-l10n fonts-dejavu-core
      libsqlite3-dev libgtest-dev libbenchmark-dev libglpk-dev poppler-utils fonts-liberation)
if [ "${1:-}" = "--with-display" ]; then
  PKGS+=(xvfb xauth)
fi
missing=()
for p in "${PKGS[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq
  apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
