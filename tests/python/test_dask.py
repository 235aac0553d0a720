"""Block by block with Dask equals the whole grid in memory, cell for cell, borders included;
and one run on a real scheduler with two worker processes over TCP."""
import os
import shutil
import socket
import subprocess
import sys
import time
from pathlib import Path

import numpy as np
import pytest

import orvane
from conftest import example_args, synthetic_dem, treatments

da = pytest.importorskip("dask.array")
import orvane.dask as odask  # noqa: E402

# 6000 x 6000 as asked of the package; ORVANE_DASK_TEST_SIDE shrinks it for quick runs.
SIDE = int(os.environ.get("ORVANE_DASK_TEST_SIDE", "6000"))


def _uneven_chunks(side):
    # Uneven blocks, one of them thinner than most halos (Dask merges it with its neighbour).
    cuts = [0, side * 2 // 9, side * 2 // 9 + 7, side // 2, side * 4 // 5, side]
    return tuple(b - a for a, b in zip(cuts, cuts[1:]))


@pytest.fixture(scope="module")
def synthetic():
    return synthetic_dem(SIDE, SIDE)


def _local(name):
    params, _ = example_args(name) or ({}, None)
    try:
        odask.halo(name, **params)
    except ValueError:
        return False
    return True


LOCAL = [n for n in treatments(values=True) if example_args(n) and _local(n)]
NOT_LOCAL = [n for n in treatments(values=True) if example_args(n) and not _local(n)]


@pytest.mark.parametrize("name", LOCAL)
def test_blocks_equal_the_whole_grid(name, synthetic):
    params, _ = example_args(name)
    whole = getattr(orvane, name)(synthetic, pixel=30, **params)
    chunks = (_uneven_chunks(SIDE), _uneven_chunks(SIDE)[::-1])
    blocks = getattr(odask, name)(da.from_array(synthetic, chunks=chunks), pixel=30, **params)
    got = blocks.compute(scheduler="threads")
    # Blocks with extremes 1000 m apart: nothing may depend on a block's own minimum.
    np.testing.assert_array_equal(got, whole)


# The treatments of a network over its DEM, on a smaller grid (the network is traced in memory).
DRAINAGE_LOCAL = [n for n in treatments(values=True, dem_only=False)
                  if n not in treatments(values=True) and example_args(n) and _local(n)]


@pytest.fixture(scope="module")
def network_case():
    side = min(SIDE, 900)
    z = synthetic_dem(side, side)
    mask = orvane.extract_drainage(z, pixel=30, upper=5)
    return z, mask


@pytest.mark.parametrize("name", DRAINAGE_LOCAL)
def test_network_blocks_equal_the_whole_grid(name, network_case):
    z, network = network_case
    params, _ = example_args(name)
    whole = getattr(orvane, name)(z, pixel=30, drainage=network, **params)
    side = z.shape[0]
    chunks = (_uneven_chunks(side), _uneven_chunks(side)[::-1])
    blocks = getattr(odask, name)(da.from_array(z, chunks=chunks), pixel=30,
                                  drainage=da.from_array(network, chunks=chunks), **params)
    np.testing.assert_array_equal(blocks.compute(scheduler="threads"), whole)


@pytest.mark.parametrize("name", NOT_LOCAL)
def test_not_local_treatments_refuse_naming_the_in_memory_function(name):
    params, _ = example_args(name)
    with pytest.raises(ValueError, match=rf"use orvane\.{name} on the whole grid"):
        getattr(odask, name)(da.zeros((100, 100), chunks=50), pixel=1, **params)


def _free_port():
    with socket.socket() as s:
        s.bind(("127.0.0.1", 0))
        return s.getsockname()[1]


def _dask_command(*words):
    # Debian's distributed installs `dask scheduler` / `dask worker`; older ones dask-scheduler.
    if shutil.which("dask"):
        return ["dask", *words]
    return ["dask-" + words[0], *words[1:]]


@pytest.fixture
def cluster(tmp_path):
    distributed = pytest.importorskip("distributed")
    port = _free_port()
    address = f"tcp://127.0.0.1:{port}"
    env = dict(os.environ, PYTHONPATH=os.pathsep.join(sys.path))
    processes = [subprocess.Popen(_dask_command("scheduler", "--host", "127.0.0.1", "--port",
                                                str(port), "--no-dashboard"),
                                  env=env, cwd=tmp_path, stdout=subprocess.DEVNULL,
                                  stderr=subprocess.DEVNULL)]
    try:
        for k in range(2):
            processes.append(subprocess.Popen(
                _dask_command("worker", address, "--nthreads", "1", "--no-dashboard",
                              "--name", f"w{k}", "--local-directory", str(tmp_path)),
                env=env, cwd=tmp_path, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL))
        client = distributed.Client(address, timeout=60)
        client.wait_for_workers(2, timeout=120)
        yield client
        client.close()
    finally:
        for process in reversed(processes):
            process.terminate()
        for process in processes:
            try:
                process.wait(timeout=20)
            except subprocess.TimeoutExpired:
                process.kill()


def test_distributed_geotiff_equals_the_whole_grid(cluster, sample, tmp_path):
    rioxarray = pytest.importorskip("rioxarray")
    import xarray

    lines, columns = sample.shape
    x = 500000 + 90 * (np.arange(columns) + 0.5)
    y = 3600000 - 90 * (np.arange(lines) + 0.5)
    dem = xarray.DataArray(sample.metres().astype(np.float32), coords={"y": y, "x": x},
                           dims=("y", "x")).rio.write_crs("EPSG:32614")
    src, dst = tmp_path / "dem.tif", tmp_path / "circular.tif"
    dem.rio.to_raster(src)
    odask.process_geotiff(src, dst, "circular", chunks=96, progress=False, stat=3, radius=5)
    assert {w["name"] for w in cluster.scheduler_info()["workers"].values()} == {"w0", "w1"}
    written = rioxarray.open_rasterio(dst)
    assert written.dtype == np.float32 and written.rio.crs.to_epsg() == 32614
    np.testing.assert_array_equal(written.values[0], orvane.circular(sample, stat=3, radius=5))
