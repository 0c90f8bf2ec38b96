#!/usr/bin/env bash
# Installs what the viewer needs, builds it and starts it with the given
# arguments (a picture file, or none). Without a display (a server, a
# container) it runs on a virtual X screen so that it still starts.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/install-deps.sh"
"$root/scripts/build.sh" release zelmar
viewer=$root/build/release/src/app/zelmar
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  echo "run.sh: no display; starting the viewer on a virtual screen (Ctrl+C ends it)" >&2
  exec xvfb-run -a -s "-screen 0 1280x800x24" "$viewer" "$@"
fi
exec "$viewer" "$@"
