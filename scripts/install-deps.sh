#!/usr/bin/env bash
# Installs the Debian packages listed in scripts/packages.txt (as root).
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
mapfile -t pkgs < <(grep -v -E '^\s*(#|$)' "$here/packages.txt")
missing=()
for p in "${pkgs[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  export DEBIAN_FRONTEND=noninteractive
  apt-get update
  # Recommended packages too: the suite is run and timed with them (Qt's
  # platform plugins, fonts and image delegates come partly that way).
  apt-get install -y "${missing[@]}"
fi
