"""What Python users take for granted: every listed name works, extra grids match the
elevations, the drainage network goes round from the CLI's file and back, wrong arguments
raise short TypeErrors, and values nothing can compute are refused or NaN."""
import inspect
import os
import subprocess

import numpy as np
import pytest

import orvane
from conftest import SAMPLE, example_args, synthetic_dem


def _params(name):
    return (example_args(name) or ({}, None))[0]


@pytest.fixture(scope="module")
def network(sample):
    return orvane.extract_drainage(sample, upper=5)


@pytest.mark.parametrize("name", orvane.TREATMENTS)
def test_every_listed_treatment_runs_and_fills_what_it_documents(name, sample, network):
    declaration = orvane.treatment_info(name)
    picture = orvane.slope_image(sample, table="gray")
    inputs = {"drainage": network} if declaration["drainage"] else {}
    if declaration["param"]:
        inputs["param"] = picture
    result = orvane.run(name, sample, **inputs, **_params(name))
    assert callable(getattr(orvane, name))
    signature = inspect.signature(getattr(orvane, name))
    assert all(p.annotation is not inspect.Parameter.empty for p in signature.parameters.values())
    if declaration["values"]:
        assert result.values.shape == sample.shape
    if declaration["histogram"]:
        assert result.histogram.ndim == 2 and result.histogram.shape[0] > 0
    if declaration["picture"] and result.picture_kind != "rgb":
        image = result.image if result.image.ndim == 3 else result.image[..., None]
        np.testing.assert_array_equal(result.palette[result.indices][..., :image.shape[2]], image)
    if name == "gray_histogram":
        counts = orvane.gray_histogram(param=picture)
        assert counts.shape == (256, 2) and counts[:, 1].sum() == picture.size
        np.testing.assert_array_equal(counts[:, 1], np.bincount(picture.ravel(), minlength=256))


def test_xarray_offers_the_same_names_in_the_same_order():
    import orvane.xarray as ox

    for name in orvane.TREATMENTS:
        if not orvane.treatment_info(name)["dem"]:
            continue
        for suffix in ("", "_image", "_figures"):
            if hasattr(orvane, name + suffix) and (suffix or orvane.treatment_info(name)["values"]):
                assert hasattr(ox, name + suffix), name + suffix
    assert list(inspect.signature(ox.slope).parameters)[:3] == ["da", "pixel", "unit"]


@pytest.mark.parametrize("shape", [(344, 402), (10, 10), (403, 344)])
def test_a_network_must_match_the_elevations(shape, sample):
    with pytest.raises(ValueError, match="must match"):
        orvane.headwaters(sample, drainage=np.zeros(shape, np.uint8), hws=3)


def test_the_drainage_network_goes_round_through_the_cli_files(sample, network, tmp_path):
    program = os.environ.get("ORVANE_CLI")
    if not program:
        pytest.skip("orvane-cli not built (set ORVANE_CLI)")
    dem = ["--dem", str(SAMPLE), "--pixel", "90"]
    expected = orvane.headwaters_figures(sample, drainage=network, hws=3)
    assert expected["headwaters"] > 0
    for suffix, colour in ((".bmp", "blue"), (".raw", "black")):
        path = tmp_path / ("net" + suffix)
        subprocess.run([program, "extract-drainage", *dem, "--upper", "5", "--colour", colour,
                        "--out", str(path)], check=True, capture_output=True)
        mask = orvane.read_drainage(path)
        np.testing.assert_array_equal(mask, network)
        printed = subprocess.run([program, "headwaters", *dem, "--drainage", str(path),
                                  "--hws", "3", "--out", str(tmp_path / "h.bmp")],
                                 check=True, capture_output=True, text=True).stdout
        assert f"headwaters={expected['headwaters']}" in printed.split()
        assert orvane.headwaters_figures(sample, drainage=mask.astype(bool), hws=3) == expected
    # Values that cannot be a network, and the file's gray values themselves, are refused.
    for wrong in (network * 0.5, network * 300, orvane.read_raster(tmp_path / "net.raw")):
        with pytest.raises(ValueError, match="1 on the network and 0 elsewhere"):
            orvane.headwaters(sample, drainage=wrong, hws=3)


@pytest.mark.parametrize("call, message", [
    (lambda: orvane.slope(), "missing 1 required positional argument: 'z'"),
    (lambda: orvane.slope(np.zeros((4, 4))), "missing required argument 'pixel'"),
    (lambda: orvane.circular(np.zeros((4, 4)), pixel=1, stat=1), "argument: 'radius'"),
    (lambda: orvane.headwaters(np.zeros((4, 4)), pixel=1, hws=3), "argument: 'drainage'"),
    (lambda: orvane.slope(np.zeros((900, 900)), pixel=1, unit=5), "unit must be a str"),
    (lambda: orvane.slope(np.zeros((900, 900)), pixel="90"), "pixel must be a number"),
    (lambda: orvane.slope("dem.tif", pixel=90), "z must be a 2-D numeric array"),
    (lambda: orvane.slope(np.zeros((4, 4)), pixel=1, drainage=np.zeros((4, 4))),
     "unexpected keyword argument 'drainage'"),
    (lambda: orvane.slope(np.zeros((900, 900), "U1"), pixel=90), "not an array of dtype <U1"),
])
def test_wrong_or_missing_arguments_raise_short_type_errors(call, message):
    with pytest.raises(TypeError, match=message) as raised:
        call()
    assert len(str(raised.value)) < 200


@pytest.mark.parametrize("pixel, message", [
    (-90, "pixel must be a positive number of metres, not -90"),
    (1e-300, "out of range"), (1e300, "out of range"), (float("nan"), "positive number"),
])
def test_cell_sizes_nothing_can_compute_are_refused(pixel, message, tmp_path):
    with pytest.raises(ValueError, match=message):
        orvane.slope(np.zeros((4, 4)), pixel=pixel)
    with pytest.raises(ValueError, match=message):
        orvane.read_dem(SAMPLE, pixel=pixel)


def test_values_rest_on_known_ground_only():
    # One line forms no triangle: no slope, rather than a level 0; two lines have one.
    ramp = np.arange(10, dtype=np.int32) * 10
    assert np.isnan(orvane.slope(ramp[None, :], pixel=1)).all()
    assert orvane.slope(np.vstack([ramp, ramp]), pixel=1) == pytest.approx(84.29, abs=0.01)
    # The masked cells of a numpy.ma array are no value, as NaN, for integers and reals.
    z = synthetic_dem(60, 70)
    holes = np.zeros(z.shape, bool)
    holes[20:30, 10:25] = True
    for unit, grid in (("dm", z), ("m", z.astype(np.float32))):
        with_nan = np.where(holes, np.nan, grid / (10 if unit == "dm" else 1))
        masked = orvane.slope(np.ma.masked_array(grid, holes), pixel=30, unit=unit)
        assert np.isnan(masked[holes]).all()
        np.testing.assert_array_equal(masked, orvane.slope(with_nan, pixel=30, unit=unit))


def test_aspect_is_flat_only_where_the_ground_is_level():
    # A rise of 1 m over 100 cells of 90 m (0.006 degree) has an aspect; level ground none.
    gentle = np.repeat((np.arange(100) // 50)[None, :], 8, axis=0).astype(np.int32)
    aspect = orvane.aspect(gentle, pixel=90)
    assert not np.isnan(aspect[1:-1, 49:51]).any()
    assert np.isnan(aspect[1:-1, 2:48]).all()


def test_circular_units_name_the_chosen_statistic(tmp_path):
    xarray = pytest.importorskip("xarray")
    pytest.importorskip("rioxarray")
    import orvane.xarray as ox

    z = synthetic_dem(40, 50).astype(np.float64)
    coords = {"y": 4000000 - 30.0 * np.arange(40), "x": 500000 + 30.0 * np.arange(50)}
    da = xarray.DataArray(z, coords=coords, dims=("y", "x")).rio.write_crs("EPSG:32614")
    units = {stat: ox.circular(da, stat=stat, radius=2).attrs["units"] for stat in (1, 5, 6)}
    assert units == {1: "m", 5: "standard score", 6: "%"}
    assert ox.circular(da.chunk(20), stat=6, radius=2).attrs["units"] == "%"
    # Without a CRS the cell size is unknown: refused unless given.
    bare = xarray.DataArray(z, coords=coords, dims=("y", "x"))
    with pytest.raises(ValueError, match="cell size in metres is unknown"):
        ox.slope(bare)
    np.testing.assert_array_equal(ox.slope(bare, 30).values, ox.slope(da).values)
    with pytest.warns(FutureWarning, match="unit='dm' by keyword"):
        former = ox.slope(da, "dm")  # the former order (da, unit, pixel)
    np.testing.assert_array_equal(former.values, ox.slope(da, unit="dm").values)
