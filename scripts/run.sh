#!/usr/bin/env bash
# Installs what the program needs, builds it and starts it with the given arguments.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/install-deps.sh"
"$root/scripts/build.sh" release zelmar-convert
exec "$root/build/release/src/convert/zelmar-convert" "${@:---help}"
