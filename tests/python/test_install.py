"""The package as a user installs it: pip into a fresh virtual environment that sees Debian's
packages, outside the build tree, offline; then a geographic GeoTIFF through every layer."""
import json
import os
import shutil
import subprocess
import sys
import textwrap

import numpy as np
import pytest

from conftest import SOURCE_DIR

rioxarray = pytest.importorskip("rioxarray")

# 30 arc-seconds centred on 49.8 degrees north: cells 599.94 m wide and 926.88 m tall.
STEP = 1 / 120
TOP = 50.3


def write_geographic_dem(path, lines=120, columns=100):
    import xarray

    y, x = np.mgrid[0:lines, 0:columns]
    z = 400 + 300 * np.sin(x / 9.0) * np.cos(y / 13.0) + 0.5 * x
    coords = {"y": TOP - STEP * (np.arange(lines) + 0.5), "x": 5 + STEP * (np.arange(columns) + 0.5)}
    dem = xarray.DataArray(z.astype(np.float32), coords=coords, dims=("y", "x"))
    dem.rio.write_crs("EPSG:4326").rio.to_raster(path)


CHECKS = textwrap.dedent("""
    import importlib.metadata, json, os, sys
    import numpy as np, rioxarray
    import orvane, orvane.xarray, orvane.dask
    tif, out = sys.argv[1], sys.argv[2]
    here = os.path.dirname(orvane.__file__)
    dem = orvane.read_dem(tif)
    da = rioxarray.open_rasterio(tif)
    in_memory = orvane.slope(dem)
    orvane.dask.process_geotiff(tif, out, "slope", chunks=40, progress=False)
    print(json.dumps({
        "where": here,
        "module": os.path.exists(os.path.join(here, "liborvane_gdal.so")),
        "version": [orvane.__version__, importlib.metadata.version("orvane")],
        "pixel": [dem.pixel_width, dem.pixel_height],
        "xarray_cell": list(orvane.xarray.cell_size(da)),
        "slope_max": float(np.nanmax(in_memory)),
        "xarray_equal": bool(np.array_equal(orvane.xarray.slope(da).values, in_memory,
                                            equal_nan=True)),
        "dask_equal": bool(np.array_equal(rioxarray.open_rasterio(out).values[0], in_memory,
                                          equal_nan=True)),
    }))
""")


@pytest.mark.skipif(os.environ.get("ORVANE_SKIP_PIP_TEST") == "1", reason="ORVANE_SKIP_PIP_TEST")
def test_pip_installed_package_reads_a_geographic_geotiff(tmp_path):
    venv = tmp_path / "venv"
    subprocess.run([sys.executable, "-m", "venv", "--system-site-packages", str(venv)], check=True)
    env = {k: v for k, v in os.environ.items() if k not in ("PYTHONPATH", "ORVANE_GDAL_MODULE")}
    env.setdefault("ORVANE_JOBS", "2")
    python = str(venv / "bin" / "python")
    # A copy of the sources, as a clean clone: setuptools builds inside the tree it installs.
    source = tmp_path / "orvane"
    shutil.copytree(SOURCE_DIR, source, ignore=shutil.ignore_patterns(
        "build*", ".git", "__pycache__", "*.egg-info", ".cache"))
    env["CCACHE_BASEDIR"] = str(source)
    subprocess.run([python, "-m", "pip", "install", "--no-build-isolation", "--no-index",
                    "--quiet", "."], check=True, env=env, cwd=source)
    tif = tmp_path / "geographic.tif"
    write_geographic_dem(tif)
    run = subprocess.run([python, "-c", CHECKS, str(tif), str(tmp_path / "slope.tif")],
                         capture_output=True, text=True, env=env, cwd=tmp_path)
    assert run.returncode == 0, run.stderr
    got = json.loads(run.stdout.splitlines()[-1])
    assert got["where"].startswith(str(venv)) and got["module"]
    assert got["version"][0] == got["version"][1]
    assert got["pixel"] == pytest.approx([599.94, 926.88], rel=1e-4)
    assert got["xarray_cell"] == pytest.approx(got["pixel"], rel=1e-12)
    assert 1 < got["slope_max"] < 10  # degrees taken as metres give nearly 90
    assert got["xarray_equal"] and got["dask_equal"]


def test_cli_info_names_the_width_x_and_the_height_y(tmp_path):
    program = os.environ.get("ORVANE_CLI")
    if not program:
        pytest.skip("orvane-cli not built (set ORVANE_CLI)")
    tif = tmp_path / "geographic.tif"
    write_geographic_dem(tif)
    printed = subprocess.run([program, "info", "--dem", str(tif), "--unit", "dm"],
                             capture_output=True, text=True, check=True).stdout
    sizes = dict(line.split("=") for line in printed.splitlines())
    # In decimetres: 599.94 m across, 926.88 m down.
    assert float(sizes["pixelSizeX"]) == pytest.approx(5999.4, rel=1e-3)
    assert float(sizes["pixelSizeY"]) == pytest.approx(9268.8, rel=1e-3)
