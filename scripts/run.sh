#!/usr/bin/env bash
# Installs what is missing, builds, and starts the viewer. With no argument it opens on the
# sample pictures in samples/; with a picture it opens that picture, from the current folder.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
"$root/scripts/install-deps.sh"
"$root/scripts/build.sh"
if [ $# -eq 0 ]; then
  cd "$root/samples"
fi
exec "$root/build/app/vedra-viewer" "$@"
