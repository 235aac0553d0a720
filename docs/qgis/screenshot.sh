#!/usr/bin/env bash
# Takes docs/screenshots/qgis_processing_toolbox.png: real QGIS on a virtual X display (Xvfb) with
# a window manager (openbox), the plugin enabled in a fresh profile, the sample DEM and its total
# depth on the map, the Processing toolbox filtered on ORVANE and an algorithm's dialog open.
# Needs a build tree with the Python package (build/python, build/qgis) and imagemagick.
set -euo pipefail
cd "$(dirname "$0")/../.."
root=$PWD
work=$(mktemp -d)
pids=()
cleanup() { for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done; rm -rf "$work"; }
trap cleanup EXIT
export HOME="$work/home" XDG_RUNTIME_DIR="$work/home" ORVANE_SCREENSHOT_DIR="$work"
export QGIS_PLUGINPATH="$root/build/qgis" PYTHONPATH="$root/build/python"
mkdir -m 700 "$HOME"
# The sample DEM as a GeoTIFF in its own geographic frame (3 arc-second cells).
/usr/bin/python3 - <<'PY'
import os
import orvane
from osgeo import gdal, osr
metres = orvane.read_dem("data/jacksboro_m2.raw", pixel=90).metres()
out = gdal.GetDriverByName("GTiff").Create(os.environ["ORVANE_SCREENSHOT_DIR"] + "/jacksboro.tif",
                                           metres.shape[1], metres.shape[0], 1, gdal.GDT_Float32)
out.SetGeoTransform((-84.41, 1 / 1200, 0, 36.733, 0, -1 / 1200))
wgs84 = osr.SpatialReference()
wgs84.ImportFromEPSG(4326)
out.SetProjection(wgs84.ExportToWkt())
out.GetRasterBand(1).WriteArray(metres)
PY
QT_QPA_PLATFORM=offscreen qgis_process.bin plugins enable orvane_processing >/dev/null 2>&1
Xvfb :57 -screen 0 1600x1000x24 >/dev/null 2>&1 & pids+=($!)
sleep 2
DISPLAY=:57 openbox >/dev/null 2>&1 & pids+=($!)
sleep 1
DISPLAY=:57 qgis --noversioncheck --nologo --code docs/qgis/screenshot_session.py >/dev/null 2>&1 & pids+=($!)
sleep "${ORVANE_SCREENSHOT_WAIT:-40}"
DISPLAY=:57 import -window root docs/screenshots/qgis_processing_toolbox.png
echo "docs/screenshots/qgis_processing_toolbox.png"
