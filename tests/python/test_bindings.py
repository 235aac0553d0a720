"""The generated functions against orvane-cli on the sample DEM, input conversion, errors and
Ctrl+C."""
import os
import re
import signal
import threading
import time

import numpy as np
import pytest

import orvane
from conftest import cli_options, example_args, treatments


def _with_example(names):
    return [n for n in names if example_args(n) is not None]


@pytest.mark.parametrize("name", _with_example(treatments(values=True)))
def test_values_equal_the_cli_values(name, sample, cli, tmp_path):
    rasterio = pytest.importorskip("rasterio")
    params, _ = example_args(name)
    path = tmp_path / "values.tif"
    cli(orvane.treatment_info(name)["id"], *cli_options(params), "--values", str(path))
    with rasterio.open(path) as tif:
        expected = tif.read(1)
    got = getattr(orvane, name)(sample, **params)
    assert got.dtype == np.float32 and got.shape == sample.shape
    np.testing.assert_array_equal(got, expected)  # NaN where NaN


@pytest.mark.parametrize("name", _with_example(treatments()))
def test_picture_and_figures_equal_the_cli_outputs(name, sample, cli, tmp_path):
    params, out = example_args(name)
    declaration = orvane.treatment_info(name)
    words = cli_options(params)
    if out:
        out = tmp_path / os.path.basename(out)
        words += ["--out", str(out)]
    if declaration["histogram"]:
        words += ["--histogram", str(tmp_path / "histogram.txt")]
    printed = cli(declaration["id"], *words)
    result = orvane.run(name, sample, histogram=True, **params)
    if declaration["histogram"]:
        assert result.histogram_text == (tmp_path / "histogram.txt").read_bytes().decode()
    if out and out.suffix in (".raw", ".bmp"):
        # The file holds the palette indices (or gray bytes, or the RGB pixels).
        expected = orvane.read_raster(out)
        got = result.indices if result.indices is not None else result.image
        np.testing.assert_array_equal(got, expected)
    for key, value in result.figures.items():
        line = re.search(rf"^{re.escape(key)}=(.*)$", printed, re.M)
        assert line and float(line.group(1)) == pytest.approx(float(value), rel=1e-12), key


def test_reals_are_metres_converted_as_the_geotiff_import():
    # 123.7 stored as a float32 is 123.69999695: within its precision of 1237 dm, not 1236.
    cases = [(np.float32(123.7), "dm", 123.7), (np.float64(123.75), "dm", 123.7),
             (np.float64(-0.5), "m", 0.0), (np.int16(1237), "dm", 123.7)]
    for value, unit, mean in cases:
        z = np.full((5, 5), value)
        got = orvane.circular(z, pixel=1, unit=unit, stat=1, radius=1)
        assert got[2, 2] == pytest.approx(mean, abs=1e-4), (value, unit)
    # A hole is NoData: no value on it, and the plus sign beside it averages its four cells on
    # ground (in real metres: 10.75, not a whole number).
    z = np.arange(25, dtype=np.float64).reshape(5, 5)
    z[2, 2] = np.nan
    got = orvane.circular(z, pixel=10, stat=1, radius=1)
    assert np.isnan(got[2, 2])
    assert got[2, 1] == (6 + 10 + 11 + 16) / 4


@pytest.mark.parametrize("call, message", [
    (lambda: orvane.slope(np.zeros((3, 3, 3)), pixel=1), "2-D"),
    (lambda: orvane.slope(np.zeros((0, 4)), pixel=1), "number of lines 0"),
    (lambda: orvane.slope(np.full((4, 4), np.nan), pixel=1), "no valid elevation"),
    (lambda: orvane.slope(np.zeros((4, 4)), pixel=-2), "positive number of metres"),
    (lambda: orvane.slope(np.zeros((4, 4)), pixel=1, unit="ft"), "--unit"),
    (lambda: orvane.slope(np.zeros((4, 4)), pixel=1, table="blue"), "--table: 'blue' is not one of"),
    (lambda: orvane.slope(np.zeros((4, 4)), pixel=1, table=1, norm=180), "--norm 180"),
    (lambda: orvane.circular(np.zeros((4, 4)), pixel=1, stat=9, radius=1),
     r"--stat: Value 9 not in range \[1 - 6\]"),
    (lambda: orvane.slope(np.array([[2**40]]), pixel=1), "32-bit"),
    (lambda: orvane.read_dem("nowhere_m2.raw"), "--pixel is required for a raw DEM"),
])
def test_bad_input_raises_value_error_with_the_cli_message(call, message):
    with pytest.raises(ValueError, match=message):
        call()


@pytest.mark.parametrize("call, message", [
    (lambda d: orvane.read_raster(d / "absent.bmp"), r"cannot open '.*absent\.bmp': No such file"),
    (lambda d: orvane.read_dem(d / "absent_m2.raw", pixel=90), r"cannot open the header '.*absent_m2\.txt'"),
])
def test_unreadable_files_raise_os_error_with_the_cli_message(call, message, tmp_path):
    with pytest.raises(OSError, match=message):
        call(tmp_path)


def test_ctrl_c_interrupts_a_long_computation():
    z = np.random.default_rng(0).integers(0, 1000, (3000, 3000), dtype=np.int32)
    timer = threading.Timer(0.3, os.kill, (os.getpid(), signal.SIGINT))
    start = time.monotonic()
    timer.start()
    with pytest.raises(KeyboardInterrupt):
        orvane.circular(z, pixel=10, stat=6, radius=80)  # tens of seconds when not stopped
    assert time.monotonic() - start < 5
    timer.join()
    assert orvane.slope(z[:8, :8], pixel=10).shape == (8, 8)  # still usable


def test_progress_callback_follows_and_cancels_a_run_in_any_thread():
    # A host without signals (a QGIS task runs in a worker thread) follows the run through the
    # callback and stops it by raising from it.
    z = np.random.default_rng(0).integers(0, 1000, (3000, 3000), dtype=np.int32)
    seen, outcome = [], {}

    def progress(fraction):
        seen.append(fraction)
        if fraction > 0:
            raise RuntimeError("stop")

    def work():
        start = time.monotonic()
        try:
            orvane.run("circular", z, pixel=10, stat=6, radius=80, progress=progress)
        except RuntimeError as stopped:
            outcome["error"] = str(stopped)
        outcome["seconds"] = time.monotonic() - start

    worker = threading.Thread(target=work)
    worker.start()
    worker.join()
    assert outcome["error"] == "stop" and outcome["seconds"] < 5
    assert seen == sorted(seen) and 0 < seen[-1] < 1


@pytest.mark.parametrize("crs, step", [("EPSG:32614", 90.0), ("EPSG:4326", 0.001)])
def test_dataarrays_take_their_cell_size_from_the_georeference(crs, step, sample, tmp_path):
    rioxarray = pytest.importorskip("rioxarray")
    import xarray
    import orvane.xarray

    lines, columns = sample.shape
    coords = {"y": 35 - step * (np.arange(lines) + 0.5), "x": 10 + step * (np.arange(columns) + 0.5)}
    dem = xarray.DataArray(sample.metres(), coords=coords, dims=("y", "x")).rio.write_crs(crs)
    path = tmp_path / "dem.tif"
    dem.rio.to_raster(path)
    # Degrees become metres at the central latitude, as the GeoTIFF import converts them.
    imported = orvane.read_dem(path)
    assert orvane.xarray.cell_size(dem) == pytest.approx((imported.pixel_width, imported.pixel_height))
    slope = orvane.xarray.slope(rioxarray.open_rasterio(path))
    assert slope.rio.crs == dem.rio.crs and slope.attrs["units"] == "degrees"
    np.testing.assert_allclose(slope["x"], dem["x"], rtol=1e-12)
    np.testing.assert_array_equal(slope.values, orvane.slope(imported))
