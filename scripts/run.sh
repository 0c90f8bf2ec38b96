#!/usr/bin/env bash
# Installs what the program needs, builds the viewer and starts it with the given arguments.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/install-deps.sh"
"$root/scripts/build.sh" release zelmar
exec "$root/build/release/src/app/zelmar" "$@"
