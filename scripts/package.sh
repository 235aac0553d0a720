#!/usr/bin/env bash
# Builds the Debian package of ORVANE (release build in build-package/) and prints its path.
# Install it with: sudo apt-get install ./build-package/orvane_*.deb
set -euo pipefail
cd "$(dirname "$0")/.."
. scripts/deps.sh
orvane_ensure_packages
# Prefix /usr as the package installs: the GDAL module's directory compiled into the core
# (/usr/lib/<arch>/orvane) is then where the package puts it.
cmake -S . -B build-package -DCMAKE_BUILD_TYPE=Release -DORVANE_BUILD_GUI=ON \
  -DORVANE_BUILD_TESTS=OFF -DORVANE_BUILD_PYTHON=ON -DCMAKE_INSTALL_PREFIX=/usr >/dev/null
cmake --build build-package -j "$ORVANE_JOBS"
(cd build-package && cpack >/dev/null)
ls "$(pwd)"/build-package/orvane_*.deb
