#!/usr/bin/env bash
# Builds the ORVANE desktop application and launches it. Arguments go to the application.
set -euo pipefail
cd "$(dirname "$0")/.."
. scripts/deps.sh
orvane_ensure_packages
cmake -S . -B build -DCMAKE_BUILD_TYPE=Release -DORVANE_BUILD_GUI=ON >/dev/null
cmake --build build --target orvane orvane-cli -j "$ORVANE_JOBS"
exec build/src/app/orvane "$@"
