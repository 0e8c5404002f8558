#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test (unit, integration and
# end-to-end under Xvfb, and under weston nested in it for Wayland) with ctest. Extra
# arguments go to ctest.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
"$root/scripts/install-deps.sh"
"$root/scripts/build.sh" ${VEDRA_CMAKE_ARGS:-}
cd "$root/build"
ctest --output-on-failure -j "$(nproc)" "$@"
