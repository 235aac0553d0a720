"""The ORVANE Processing provider in QGIS, headless: qgis_process lists every declared treatment,
its results equal orvane-cli's cell for cell on a GeoTIFF DEM as users have them, a bad parameter
is refused with the declared range, and a cancelled run leaves no file.

Debian's /usr/bin/qgis_process is a wrapper that adds the options of /etc/default/qgis
(--noversioncheck, meant for the desktop program), which qgis_process refuses: the tests call
/usr/bin/qgis_process.bin, the program itself.
"""
import json
import os
import subprocess
import sys
from pathlib import Path

import numpy as np
import pytest
from osgeo import gdal, osr

import orvane

QGIS_PROCESS = os.environ.get("ORVANE_QGIS_PROCESS", "/usr/bin/qgis_process.bin")
PLUGIN_PATH = Path(os.environ["QGIS_PLUGINPATH"])
SAMPLE = Path(__file__).resolve().parents[2] / "data" / "jacksboro_m2.raw"


def write_geotiff(path, metres, nodata=-9999.0):
    """A Float32 GeoTIFF in UTM zone 17N, 90 m cells, with `nodata` declared."""
    lines, columns = metres.shape
    dataset = gdal.GetDriverByName("GTiff").Create(str(path), columns, lines, 1, gdal.GDT_Float32)
    dataset.SetGeoTransform((400000.0, 90.0, 0.0, 4030000.0, 0.0, -90.0))
    srs = osr.SpatialReference()
    srs.ImportFromEPSG(32617)
    dataset.SetProjection(srs.ExportToWkt())
    band = dataset.GetRasterBand(1)
    band.SetNoDataValue(nodata)
    band.WriteArray(metres.astype(np.float32))
    dataset = None


@pytest.fixture(scope="module")
def dem(tmp_path_factory):
    """The sample lowered below sea level in its valleys, in tenths of metres, with a hole of
    NoData cells: what a survey's GeoTIFF looks like."""
    metres = orvane.read_dem(SAMPLE, pixel=90).metres() - 400.0 + 0.3
    metres[100:104, 200:205] = -9999.0
    path = tmp_path_factory.mktemp("dem") / "dem.tif"
    write_geotiff(path, metres)
    return path


@pytest.fixture(scope="module")
def qgis_env(tmp_path_factory):
    """A fresh QGIS profile (HOME) with the plugin enabled, as a user enables it."""
    home = tmp_path_factory.mktemp("home")
    env = dict(os.environ, HOME=str(home), QT_QPA_PLATFORM="offscreen",
               XDG_RUNTIME_DIR=str(home), QGIS_PLUGINPATH=str(PLUGIN_PATH))
    enabled = subprocess.run([QGIS_PROCESS, "plugins", "enable", "orvane_processing"], env=env,
                             capture_output=True, text=True)
    assert enabled.returncode == 0, enabled.stdout + enabled.stderr
    return env


def qgis_process(env, *words):
    return subprocess.run([QGIS_PROCESS, *words], env=env, capture_output=True, text=True,
                          timeout=300)


def run_algorithm(env, name, **params):
    words = ["--json", "run", f"orvane:{name}"]
    words += [f"--{key}={value}" for key, value in params.items()]
    done = qgis_process(env, *words)
    assert done.returncode == 0, done.stdout + done.stderr
    return json.loads(done.stdout[done.stdout.index("{"):])["results"]


def run_cli(*words):
    subprocess.run([os.environ["ORVANE_CLI"], *map(str, words)], check=True, capture_output=True)


def read(path):
    dataset = gdal.Open(str(path))
    return (dataset.GetRasterBand(1).ReadAsArray(), dataset.GetGeoTransform(),
            dataset.GetRasterBand(1).GetNoDataValue(), dataset.GetRasterBand(1).DataType)


def test_every_declared_treatment_is_listed(qgis_env):
    listed = qgis_process(qgis_env, "list")
    assert listed.returncode == 0, listed.stderr
    ids = {line.split("\t")[1] for line in listed.stdout.splitlines()
           if line.startswith("\torvane:")}
    assert ids == {f"orvane:{name}" for name in orvane.TREATMENTS}
    # Grouped under the desktop's menus, parameters with the declared range.
    shown = qgis_process(qgis_env, "help", "orvane:total_depth").stdout
    assert "Surface Parameters" in shown or "WINDOW" in shown
    assert "range [1, 100000]" in shown


# One surface treatment, one window treatment in a vertical unit of decimetres, one with its
# histogram table (the direction frequencies); below, the drainage network traced by one
# algorithm and read back by another as its DRAINAGE raster.
CASES = [
    ("slope", {}, ["slope"]),
    ("total_depth", {"WINDOW": 11, "UNIT": 1}, ["total-depth", "--window", 11, "--unit", "dm"]),
    ("aspect", {"OUTPUT_HISTOGRAM": "qgis.txt"}, ["aspect", "--histogram", "cli.txt"]),
]


@pytest.mark.parametrize("name,params,cli", CASES, ids=[c[0] for c in CASES])
def test_values_equal_orvane_cli(qgis_env, dem, tmp_path, name, params, cli):
    params = {k: tmp_path / v if k == "OUTPUT_HISTOGRAM" else v for k, v in params.items()}
    cli = [tmp_path / w if str(w).endswith(".txt") else w for w in cli]
    results = run_algorithm(qgis_env, name, INPUT=dem, OUTPUT=tmp_path / "qgis.tif", **params)
    run_cli(*cli, "--dem", dem, "--values", tmp_path / "cli.tif")
    if "OUTPUT_HISTOGRAM" in params:
        assert Path(results["OUTPUT_HISTOGRAM"]).read_bytes() == (tmp_path / "cli.txt").read_bytes()
    got, transform, nodata, data_type = read(results["OUTPUT"])
    expected, expected_transform, _, _ = read(tmp_path / "cli.tif")
    np.testing.assert_array_equal(got, expected)  # NaN where NaN
    assert transform == expected_transform == (400000.0, 90.0, 0.0, 4030000.0, 0.0, -90.0)
    assert np.isnan(nodata) and data_type == gdal.GDT_Float32


def test_drainage_network_feeds_a_drainage_treatment(qgis_env, dem, tmp_path):
    network = run_algorithm(qgis_env, "extract_drainage", INPUT=dem, UPPER=5,
                            OUTPUT=tmp_path / "network_values.tif",
                            OUTPUT_IMAGE=tmp_path / "network.tif")
    assert network["networkCells"] > 0
    density = run_algorithm(qgis_env, "dissection", INPUT=dem, DRAINAGE=network["OUTPUT_IMAGE"],
                            TILING=1, MEASURE=1, WINDOW=20, OUTPUT=tmp_path / "density.tif")
    run_cli("extract-drainage", "--dem", dem, "--upper", 5, "--out", tmp_path / "d.bmp",
            "--values", tmp_path / "d.tif")
    run_cli("dissection", "--dem", dem, "--drainage", tmp_path / "d.bmp", "--tiling", "moving",
            "--measure", "length", "--window", 20, "--values", tmp_path / "dd.tif")
    np.testing.assert_array_equal(read(network["OUTPUT"])[0], read(tmp_path / "d.tif")[0])
    np.testing.assert_array_equal(read(density["OUTPUT"])[0], read(tmp_path / "dd.tif")[0])


def test_model_fills_with_gdal_then_computes_the_slope(qgis_env, dem, tmp_path):
    """The model of docs/qgis.md: gdal:fillnodata, then orvane:slope on its output."""
    model = Path(__file__).resolve().parents[2] / "docs" / "qgis" / "fill_then_slope.model3"
    done = qgis_process(qgis_env, "--json", "run", str(model), f"--DEM={dem}", "--DISTANCE=10",
                        f"--slope:SLOPE={tmp_path / 'slope.tif'}")
    assert done.returncode == 0, done.stdout + done.stderr
    slope, transform, _, _ = read(tmp_path / "slope.tif")
    assert slope.shape == (344, 403) and transform[1] == 90.0
    assert np.isfinite(slope).all() and 0 < slope.max() < 90


def test_bad_parameter_is_refused_with_the_declared_range(qgis_env, dem, tmp_path):
    out = tmp_path / "refused.tif"
    done = qgis_process(qgis_env, "run", "orvane:total_depth", f"--INPUT={dem}",
                        "--WINDOW=0", f"--OUTPUT={out}")
    assert done.returncode != 0
    assert "--window: Value 0 not in range [1 - 100000]" in done.stdout + done.stderr
    assert not out.exists()


def test_cancelled_run_leaves_no_output(tmp_path):
    """In QGIS itself (qgis.core): a feedback cancelled at the first progress report."""
    from qgis.core import QgsApplication, QgsProcessingContext, QgsProcessingFeedback

    application = QgsApplication([], False)
    application.initQgis()
    sys.path.insert(0, str(PLUGIN_PATH))
    from orvane_processing.provider import OrvaneProvider

    provider = OrvaneProvider()
    assert QgsApplication.processingRegistry().addProvider(provider)
    algorithm = QgsApplication.processingRegistry().createAlgorithmById("orvane:circular")

    class CancelAtFirstReport(QgsProcessingFeedback):
        reports = []

        def setProgress(self, value):
            self.reports.append(value)
            self.cancel()

    rng = np.random.default_rng(3)
    write_geotiff(tmp_path / "big.tif", rng.normal(500.0, 50.0, (2000, 2000)))
    out = tmp_path / "cancelled.tif"
    feedback = CancelAtFirstReport()
    params = {"INPUT": str(tmp_path / "big.tif"), "STAT": 4, "RADIUS": 40, "OUTPUT": str(out)}
    results, ok = algorithm.run(params, QgsProcessingContext(), feedback)
    assert not ok and "Cancelled: nothing was written" in feedback.textLog()
    assert feedback.reports and feedback.isCanceled()
    assert sorted(p.name for p in tmp_path.iterdir()) == ["big.tif"]
