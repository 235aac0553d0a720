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


def _write_geotiff(path, z, nodata=None, scale=1.0, offset=0.0):
    rasterio = pytest.importorskip("rasterio")
    from rasterio.transform import from_origin

    with rasterio.open(path, "w", driver="GTiff", width=z.shape[1], height=z.shape[0], count=1,
                       dtype=z.dtype, crs="EPSG:32614", nodata=nodata,
                       transform=from_origin(500000, 3600000, 30, 30)) as out:
        out.write(z, 1)
        if scale != 1.0 or offset != 0.0:
            out.scales, out.offsets = (scale,), (offset,)


def _read_geotiff(path):
    import rasterio

    with rasterio.open(path) as written:
        return written.read(1)


def _expected_values(src, name, **params):
    """orvane-cli --values on `src` when the CLI is built (ORVANE_CLI), else the same in memory."""
    program = os.environ.get("ORVANE_CLI")
    if program and Path(program).exists():
        out = Path(src).with_name("cli_values.tif")
        subprocess.run([program, name, "--dem", str(src), "--values", str(out), "--quiet",
                        *[f"--{k}={v}" for k, v in params.items()]], check=True)
        return _read_geotiff(out)
    return getattr(orvane, name)(_read_geotiff(src), pixel=30, **params)


@pytest.mark.parametrize("compress", ["deflate", "zstd", "none"])
def test_geotiff_blocks_equal_the_cli_and_say_which_block_failed(tmp_path, compress):
    z = (synthetic_dem(700, 600) / 3).astype(np.float32)  # reals, blocks thinner at the edges
    src, dst = tmp_path / "dem.tif", tmp_path / "slope.tif"
    _write_geotiff(src, z)
    odask.process_geotiff(src, dst, "slope", chunks=256, compress=compress, progress=False)
    np.testing.assert_array_equal(_read_geotiff(dst), _expected_values(src, "slope"))
    assert not Path(str(dst) + ".parts").exists()

    z[300, 400] = 1e12  # beyond the 32-bit range in metres: that block alone fails
    _write_geotiff(src, z)
    with pytest.raises(RuntimeError, match=r"block of lines 256-511, columns 256-511: "
                                           r"ValueError: .*32-bit") as failure:
        odask.process_geotiff(src, dst, "slope", chunks=256, progress=False)
    assert "array(" not in str(failure.value)
    assert not list(tmp_path.glob(".slope.tif.*")) and not Path(str(dst) + ".parts").exists()


def test_scaled_integers_are_read_in_the_unit_of_their_metres(tmp_path):
    # Stored numbers 10000 times the metres: their own range would choose a coarser unit than
    # the metres' range does, and the blocks would differ from orvane-cli.
    z = synthetic_dem(300, 280) * 10000 + np.random.default_rng(3).integers(0, 99, (300, 280),
                                                                           dtype=np.int32)
    src, dst = tmp_path / "dem.tif", tmp_path / "slope.tif"
    _write_geotiff(src, z, scale=1e-4, offset=-20.5)
    odask.process_geotiff(src, dst, "slope", chunks=256, progress=False)
    written = _read_geotiff(dst)
    np.testing.assert_array_equal(written, orvane.slope(z * 1e-4 - 20.5, pixel=30))
    if os.environ.get("ORVANE_CLI"):
        np.testing.assert_array_equal(written, _expected_values(src, "slope"))


def test_a_block_of_nodata_alone_gives_nan(tmp_path):
    z = synthetic_dem(512, 512).astype(np.float32)
    z[:300, :300] = -9999  # block (0, 0) and its halo hold no elevation
    src, dst = tmp_path / "dem.tif", tmp_path / "slope.tif"
    _write_geotiff(src, z, nodata=-9999)
    odask.process_geotiff(src, dst, "slope", chunks=256, progress=False)
    in_blocks = odask.slope(da.from_array(np.where(z == -9999, np.nan, z), chunks=256),
                            pixel=30).compute(scheduler="threads")
    for got in (_read_geotiff(dst), in_blocks):
        assert np.isnan(got[:256, :256]).all()
        assert np.isfinite(got[:, 320:]).all()


def test_a_killed_worker_changes_nothing(tmp_path):
    distributed = pytest.importorskip("distributed")
    import signal
    import threading

    z = (synthetic_dem(2048, 2048) / 7).astype(np.float32)
    src, dst = tmp_path / "dem.tif", tmp_path / "slope.tif"
    _write_geotiff(src, z)
    with distributed.LocalCluster(n_workers=2, threads_per_worker=1, processes=True,
                                  dashboard_address=":0") as cluster, \
            distributed.Client(cluster) as client:
        victim = next(iter(client.run(os.getpid).values()))
        run = threading.Thread(target=odask.process_geotiff,
                               args=(src, dst, "slope"), kwargs=dict(chunks=256, progress=False))
        run.start()
        parts = Path(str(dst) + ".parts")
        deadline = time.monotonic() + 120
        while not list(parts.glob("*.tif")) and time.monotonic() < deadline:
            time.sleep(0.005)
        assert run.is_alive(), "the run ended before a worker could be killed"
        os.kill(victim, signal.SIGKILL)
        run.join(timeout=300)
        assert not run.is_alive()
        assert victim not in client.run(os.getpid).values()
    np.testing.assert_array_equal(_read_geotiff(dst), _expected_values(src, "slope"))
