#!/usr/bin/python3
"""A DEM larger than the workers' memory through orvane.dask.process_geotiff.

Writes a synthetic Float32 GeoTIFF of SIDE x SIDE cells (uncompressed, tiled: SIDE^2 x 4 bytes
on disk), starts a local distributed cluster of WORKERS processes limited to MEMORY each, runs
the treatment into a tiled DEFLATE GeoTIFF, and prints the wall time and the peak resident
memory of every worker (sampled every 0.2 s), plus a check of a few blocks against the in-memory
computation.

    PYTHONPATH=build/python /usr/bin/python3 bench/dask_large.py --side 32000 --workers 2 \
        --memory 1GB --chunks 2048 --treatment slope --dir /tmp/orvane-large

--src PATH runs an existing GeoTIFF instead (--side is then its width), --compress chooses the
output's compression, --no-check skips the comparison. Every task opens and closes its files,
so GDAL's block cache holds nothing between blocks. Not part of the test suite (minutes of work
and several GB of disk).
"""
import argparse
import os
import threading
import time
from pathlib import Path

import numpy as np


def write_dem(path, side, tile=1024):
    import rasterio
    from rasterio.transform import from_origin
    from rasterio.windows import Window

    profile = dict(driver="GTiff", width=side, height=side, count=1, dtype="float32",
                   crs="EPSG:32614", transform=from_origin(500000, 3600000, 1.0, 1.0),
                   tiled=True, blockxsize=256, blockysize=256, BIGTIFF="YES")
    with rasterio.open(path, "w", **profile) as dst:
        for top in range(0, side, tile):
            rows = min(tile, side - top)
            y = np.arange(top, top + rows, dtype=np.float64)[:, None]
            x = np.arange(side, dtype=np.float64)[None, :]
            z = 300 + 80 * np.sin(x / 700.0) * np.cos(y / 900.0) + 5 * np.sin(x / 37.0 + y / 53.0)
            dst.write(z.astype(np.float32)[None], window=Window(0, top, side, rows))


def sample_memory(pids, peaks, stop):
    import psutil

    processes = {pid: psutil.Process(pid) for pid in pids}
    while not stop.is_set():
        for pid, process in processes.items():
            try:
                peaks[pid] = max(peaks.get(pid, 0), process.memory_info().rss)
            except psutil.Error:
                pass
        time.sleep(0.2)


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--side", type=int, default=32000)
    parser.add_argument("--workers", type=int, default=2)
    parser.add_argument("--threads", type=int, default=1)
    parser.add_argument("--memory", default="1GB")
    parser.add_argument("--chunks", type=int, default=2048)
    parser.add_argument("--treatment", default="slope")
    parser.add_argument("--dir", default="/tmp/orvane-large")
    parser.add_argument("--keep", action="store_true", help="keep the GeoTIFFs")
    parser.add_argument("--src", help="an existing GeoTIFF instead of the synthetic one")
    parser.add_argument("--compress", default="deflate")
    parser.add_argument("--no-check", action="store_true", help="skip the check of two windows")
    args, rest = parser.parse_known_args()
    params = {}
    for item in rest:  # --param=value pairs for the treatment: --radius=5
        key, value = item.lstrip("-").split("=")
        params[key.replace("-", "_")] = float(value) if value.replace(".", "").isdigit() else value

    import orvane
    import orvane.dask
    from distributed import Client, LocalCluster

    work = Path(args.dir)
    work.mkdir(parents=True, exist_ok=True)
    src, dst = work / "dem.tif", work / f"{args.treatment}.tif"
    if args.src:
        src = Path(args.src)
        import rasterio

        with rasterio.open(src) as dem:
            args.side = dem.width
    elif not src.exists() or src.stat().st_size < args.side * args.side * 4:
        start = time.monotonic()
        write_dem(src, args.side)
        print(f"wrote {src}: {src.stat().st_size / 1e9:.2f} GB in {time.monotonic() - start:.0f} s")
    cluster = LocalCluster(n_workers=args.workers, threads_per_worker=args.threads,
                           memory_limit=args.memory, processes=True, dashboard_address=":0")
    client = Client(cluster)
    pids = list(client.run(os.getpid).values())
    peaks, stop = {}, threading.Event()
    sampler = threading.Thread(target=sample_memory, args=(pids, peaks, stop), daemon=True)
    sampler.start()
    start = time.monotonic()
    orvane.dask.process_geotiff(src, dst, args.treatment, chunks=args.chunks,
                                compress=args.compress, progress=False, **params)
    elapsed = time.monotonic() - start
    stop.set()
    sampler.join()
    cells = args.side * args.side
    print()  # after the progress bar
    print(f"{args.treatment} on {args.side} x {args.side} ({cells / 1e9:.2f} G cells, "
          f"{cells * 4 / 1e9:.1f} GB Float32) with {args.workers} workers x {args.threads} "
          f"thread(s), memory limit {args.memory}, chunks {args.chunks}: {elapsed:.1f} s "
          f"({cells / elapsed / 1e6:.1f} M cells/s)")
    for pid, peak in sorted(peaks.items()):
        print(f"  worker {pid}: peak RSS {peak / 2**20:.0f} MiB")
    print(f"  output {dst}: {dst.stat().st_size / 1e9:.2f} GB")

    if args.no_check:
        client.close()
        cluster.close()
        return
    # A corner block and an interior block against the in-memory computation.
    import rasterio
    from rasterio.windows import Window

    with rasterio.open(src) as dem, rasterio.open(dst) as out:
        size = 1500
        for top, left in [(0, 0), (args.side // 2 - size // 2, args.side // 2 - size // 2)]:
            z = dem.read(1, window=Window(left, top, size, size))
            pixel = abs(dem.transform.a)
            whole = getattr(orvane, args.treatment.replace("-", "_"))(z, pixel=pixel, **params)
            got = out.read(1, window=Window(left, top, size, size))
            margin = orvane.dask.halo(args.treatment, **params)
            inner = (slice(margin if top else 0, size - margin),
                     slice(margin if left else 0, size - margin))
            assert np.array_equal(got[inner], whole[inner], equal_nan=True), (top, left)
    print("  check: two 1500 x 1500 windows equal the in-memory computation")
    client.close()
    cluster.close()
    if not args.keep:
        dst.unlink()


if __name__ == "__main__":
    main()
