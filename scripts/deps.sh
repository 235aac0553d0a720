# Sourced by run.sh and test.sh: installs the Debian packages the build needs, once.
ORVANE_PACKAGES="cmake make g++ ccache qt6-base-dev libcli11-dev libgdal-dev libhwy-dev gdal-bin libgtest-dev libbenchmark-dev xvfb xauth dpkg-dev file desktop-file-utils man-db clang-14 libclang-rt-14-dev pybind11-dev python3-dev python3-numpy python3-pytest python3-dask python3-distributed python3-xarray python3-rioxarray python3-setuptools python3-venv qgis python3-qgis"

orvane_missing_packages() {
  local missing=""
  for p in $ORVANE_PACKAGES; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
      missing="$missing $p"
    fi
  done
  echo "$missing"
}

orvane_ensure_packages() {
  local missing
  missing=$(orvane_missing_packages)
  [ -z "$missing" ] && return 0
  echo "Installing missing packages:$missing"
  local sudo=""
  if [ "$(id -u)" -ne 0 ]; then
    if command -v sudo >/dev/null 2>&1; then sudo="sudo"; else
      echo "Missing packages:$missing (run as root or install them with apt-get)" >&2
      return 1
    fi
  fi
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq $missing
}

# Compiler cache shared by every checkout of the project.
export CCACHE_BASEDIR="${CCACHE_BASEDIR:-$(pwd)}"
ORVANE_JOBS="${ORVANE_JOBS:-$(nproc 2>/dev/null || echo 2)}"
