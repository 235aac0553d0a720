"""NaN in, NaN out: holes in a float array are NoData in memory, block by block with Dask
(holes across block borders) and on worker processes; float metres keep their precision."""
import numpy as np
import pytest

import orvane
from conftest import example_args, synthetic_dem, treatments

da = pytest.importorskip("dask.array")
import orvane.dask as odask  # noqa: E402
from test_dask import cluster  # noqa: E402,F401  (the two-worker scheduler)

SIDE = 360
CHUNKS = ((80, 7, 113, 160), (150, 90, 120))  # a block thinner than most halos


def _holed(side=SIDE):
    """The synthetic ground in metres (float32) with NaN holes: a lake across two block
    borders, a block's corner, scattered cells and a whole line."""
    z = synthetic_dem(side, side).astype(np.float32) + np.float32(0.25)
    z[70:100, 130:170] = np.nan
    z[195:205, 235:245] = np.nan
    z[::37, ::41] = np.nan
    z[300, :] = np.nan
    return z


def _local_with_values():
    names = []
    for name in treatments(values=True):
        params, _ = example_args(name) or ({}, None)
        try:
            odask.halo(name, **params)
        except ValueError:
            continue
        names.append(name)
    return names


LOCAL = _local_with_values()


@pytest.mark.parametrize("name", LOCAL)
def test_holes_are_nodata_in_memory_and_block_by_block(name):
    params, _ = example_args(name)
    z = _holed()
    whole = getattr(orvane, name)(z, pixel=30, **params)
    holes = np.isnan(z)
    # Nothing is invented on a hole, and values rest on the ground around it.
    assert np.isnan(whole[holes]).all(), name
    assert np.isfinite(whole).any(), name
    blocks = getattr(odask, name)(da.from_array(z, chunks=CHUNKS), pixel=30, **params)
    np.testing.assert_array_equal(blocks.compute(scheduler="threads"), whole)


def test_reals_without_unit_keep_their_precision():
    # The circular mean of the plus sign, as real numbers from float metres: neither the
    # elevations nor the mean are truncated to whole metres.
    z = _holed()[:120, :120]
    mean = orvane.circular(z, pixel=30, stat=1, radius=1)
    m = z.astype(np.float64)
    plus = (m[1:-1, 1:-1] + m[:-2, 1:-1] + m[2:, 1:-1] + m[1:-1, :-2] + m[1:-1, 2:]) / 5
    known = np.isfinite(plus)
    np.testing.assert_allclose(mean[1:-1, 1:-1][known], plus[known], atol=1e-3)
    np.testing.assert_array_equal(orvane.total_depth(z, pixel=30, window=5),
                                  orvane.total_depth(z, pixel=30, window=5, unit="mm"))


def test_holes_under_dask_worker_processes(cluster):  # noqa: F811
    z = _holed()
    data = da.from_array(z, chunks=CHUNKS)
    for name, params in (("circular", {"stat": 3, "radius": 5}), ("total_depth", {"window": 9}),
                         ("surface3d", {"window": 5})):
        got = getattr(odask, name)(data, pixel=30, **params).compute()
        np.testing.assert_array_equal(got, getattr(orvane, name)(z, pixel=30, **params))
    assert len(cluster.scheduler_info()["workers"]) == 2


def test_a_geotiff_with_nodata_reads_as_the_array_with_holes(tmp_path):
    pytest.importorskip("rioxarray")
    import xarray

    z = np.ascontiguousarray(_holed()[:150, :150])
    y = 3600000 - 30 * (np.arange(150) + 0.5)
    x = 500000 + 30 * (np.arange(150) + 0.5)
    tif = tmp_path / "holes.tif"
    xarray.DataArray(np.where(np.isnan(z), -9999, z).astype(np.float32), coords={"y": y, "x": x},
                     dims=("y", "x")).rio.write_crs("EPSG:32614").rio.write_nodata(-9999).rio.to_raster(tif)
    dem = orvane.read_dem(tif)
    assert dem.unit == "0.1mm" and dem.pixel == 30
    np.testing.assert_array_equal(dem.valid == 0, np.isnan(z))
    np.testing.assert_array_equal(np.isnan(dem.metres()), np.isnan(z))
    np.testing.assert_array_equal(orvane.circular(dem, stat=3, radius=4),
                                  orvane.circular(z, pixel=30, stat=3, radius=4))
