"""ORVANE's treatments block by block with Dask, for DEMs beyond one machine's memory.

``orvane.dask.<name>(data, pixel=..., unit=None, **params)`` takes a 2-D Dask array (elevations
as for ``orvane.<name>``) or a chunked DataArray (as for ``orvane.xarray.<name>``) and returns
the value grid lazily, computed by ``map_overlap``: every block is extended by the treatment's
halo (the window radius plus what the computation reads around it, from the declaration),
computed in memory and trimmed back. Blocks on the grid's edges are not extended there, so the
grid's edge cells are computed as edge cells: the result equals ``orvane.<name>`` on the whole
grid cell for cell, NoData borders included.

Treatments whose values are not local (a global extreme, a network traced over the whole
grid) refuse with ValueError naming the in-memory function to use.

Holes (NaN) are NoData, as in memory: a value that rests on them is NaN, and blocks give the
in-memory values cell for cell, holes across block borders included. Real elevations without
``unit`` are converted in the finest unit the whole array's range fits in (one pass over it
first), so every block uses the same unit as the in-memory run.

``process_geotiff(src, dst, treatment, chunks=..., **params)`` streams a GeoTIFF through the
current scheduler (a ``distributed.Client`` when one is active) into a tiled, compressed
Float32 GeoTIFF, or into Zarr when ``dst`` ends in ``.zarr``. Every block is read with its halo,
computed and compressed by the worker that owns it, into a GeoTIFF of its own; the client
only copies the compressed tiles into ``dst`` as blocks arrive, and writes the tile index.
"""
import os
import shutil
import struct
import sys
import threading
import uuid
import warnings
from concurrent.futures import ThreadPoolExecutor
from pathlib import Path

import numpy as np

import orvane
from . import _orvane

__all__ = ["run_dask", "process_geotiff", "halo"]


def halo(name, **params):
    """The halo (cells) a block of treatment `name` needs, or ValueError when not local."""
    key = orvane._python_name(name)
    declaration = orvane._DECLARATIONS[key]
    cli = orvane._cli_params(declaration, params)
    depth = _orvane.halo(declaration["id"], cli)
    if depth is None:
        reason = declaration["not_local_reason"] or "its values depend on the whole grid"
        raise ValueError(f"{key} cannot be computed block by block ({reason}): use "
                         f"orvane.{key} on the whole grid in memory")
    return depth


def _block(elevations, *rasters, key, pixel, unit, params, drainage, param):
    if np.isnan(elevations).all():
        # A block of NoData alone, halo included: no value anywhere in it.
        return np.full(elevations.shape, np.nan, np.float32)
    extra = iter(rasters)
    drainage_block = next(extra) if drainage else None
    param_block = next(extra) if param else None
    return getattr(orvane, key)(elevations, pixel=pixel, unit=unit, drainage=drainage_block,
                                param=param_block, **params)


def run_dask(name, data, pixel=None, unit=None, drainage=None, param=None, **params):
    """The value grid of treatment `name` over the 2-D Dask array `data`, as a Dask array."""
    import dask.array as da

    key = orvane._python_name(name)
    declaration = orvane._DECLARATIONS[key]
    if not declaration["values"]:
        raise ValueError(f"{key} makes a picture, not a per-cell quantity: use "
                         f"orvane.{key}_image on the whole grid in memory")
    depth = halo(key, **params)  # checks the parameters too, before any block runs
    if pixel is None:
        raise ValueError("--pixel is required: give pixel= (the cell size in metres, a number "
                         "or (width, height))")
    pixel = orvane._pixel_sizes(None, pixel)
    data = da.asarray(data)
    if data.ndim != 2:
        raise ValueError(f"the elevations must be a 2-D array (lines x columns), not "
                         f"{data.ndim}-D")
    if unit is None:
        unit = _finest_unit(data)
    arrays = [data]
    for raster in (drainage, param):
        if raster is not None:
            arrays.append(da.asarray(raster).rechunk(data.chunks))
    return da.map_overlap(
        _block, *arrays, depth=depth, boundary="none", trim=True, dtype=np.float32,
        meta=np.empty((0, 0), np.float32), key=key, pixel=pixel, unit=unit, params=params,
        drainage=drainage is not None, param=param is not None)


def _finest_unit(data):
    """The unit of the in-memory run: metres for integers, for reals the finest unit the
    range of the whole array fits in."""
    import dask.array as da

    if data.dtype.kind != "f":
        return "m"
    import warnings

    with warnings.catch_warnings():  # an array of holes only: refused later, as in memory
        warnings.simplefilter("ignore", RuntimeWarning)
        lowest, highest = da.compute(da.nanmin(data), da.nanmax(data))
    if not (np.isfinite(lowest) and np.isfinite(highest)):
        return "m"
    return _orvane.finest_unit(float(lowest), float(highest))


def _make(key):
    def treatment(data, pixel=None, unit=None, **params):
        if hasattr(data, "dims"):  # a DataArray: georeferenced, the xarray way
            from . import xarray as orvane_xarray

            return orvane_xarray.run_dataarray(key, data, unit=unit, pixel=pixel, **params)
        return run_dask(key, data, pixel=pixel, unit=unit, **params)

    treatment.__name__ = treatment.__qualname__ = key
    treatment.__doc__ = (f"orvane.{key} block by block on a Dask array or chunked DataArray "
                         f"(lazy; see orvane.dask).\n\n" + (orvane.__dict__[key].__doc__ or ""))
    return treatment


for _key, _declaration in orvane._DECLARATIONS.items():
    if _declaration["values"]:
        globals()[_key] = _make(_key)
        __all__.append(_key)


# Tiles of the GeoTIFFs written: blocks are whole numbers of tiles, so that a block's tiles are
# the final file's tiles and are copied without being decompressed.
TILE = 256

_COMPRESSIONS = {"deflate": "DEFLATE", "zstd": "ZSTD", "lzw": "LZW", "none": "NONE"}


def process_geotiff(src, dst, treatment, chunks=2048, unit=None, pixel=None, progress=True,
                    compress="deflate", **params):
    """Computes treatment's values over the GeoTIFF `src` block by block into `dst`.

    `dst` ending in ``.zarr`` is written as a Zarr store, anything else as a tiled Float32
    GeoTIFF compressed by `compress` (deflate, zstd, lzw: with the floating-point predictor;
    none), with the source's georeference and NaN as NoData. Runs on the active
    ``distributed.Client`` when there is one (workers must see `src` and `dst` at the same
    paths), else on Dask's local scheduler. `chunks`: block side in cells (rounded up to a
    multiple of 256 for a GeoTIFF). `progress`: a progress bar (distributed.progress or dask's
    ProgressBar). A worker that dies has its blocks computed again elsewhere; a block that
    cannot be computed raises RuntimeError naming its lines and columns and the reason.
    Returns `dst`.
    """
    import rioxarray
    from . import xarray as orvane_xarray

    if compress not in _COMPRESSIONS:
        raise ValueError(f"compress: '{compress}' is not one of {', '.join(_COMPRESSIONS)}")
    key = orvane._python_name(treatment)
    if str(dst).endswith(".zarr"):
        return _process_to_zarr(src, dst, key, chunks, unit, pixel, progress, params)
    depth = halo(key, **params)  # refuses treatments that are not local, before any work
    if not orvane._DECLARATIONS[key]["values"]:
        raise ValueError(f"{key} makes a picture, not a per-cell quantity")
    source = orvane_xarray._two_d(rioxarray.open_rasterio(src, chunks=True, masked=True))
    if pixel is None:
        pixel = orvane_xarray.cell_size(source)
    if unit is None:
        unit = _geotiff_unit(src)
    pixel = orvane._pixel_sizes(None, pixel)
    side = int(chunks) if np.ndim(chunks) == 0 else int(chunks.get("y", 2048))
    side = max(TILE, -(-side // TILE) * TILE)
    lines, columns = source.shape
    declaration = orvane._DECLARATIONS[key]
    layout = dict(compress=_COMPRESSIONS[compress], lines=lines, columns=columns,
                  units=declaration["value_unit"])
    blocks = [(top, bottom, left, right)
              for top, bottom in _cuts(lines, side)
              for left, right in _cuts(columns, side)]
    dst = Path(dst)
    parts = Path(str(dst) + ".parts")
    parts.mkdir(parents=True, exist_ok=True)
    assembly = _Assembly(dst, source, layout)
    try:
        task = dict(src=str(src), parts=str(parts), treatment=key, pixel=pixel, unit=unit,
                    params=params, depth=depth, layout=layout)
        for block, part in _run_blocks(blocks, task, progress, str(src)):
            assembly.add(block, part)
        assembly.finish()
    finally:
        assembly.discard()
        # Locally every block has stopped by now; a distributed worker still running a
        # cancelled block may write here after us, and its write then fails quietly.
        shutil.rmtree(parts, ignore_errors=True)
    return str(dst)


def _geotiff_unit(src):
    """The unit orvane-cli reads `src` in (the core's own reader chooses it from the range of
    the whole raster, scale and offset applied), so that every block uses it."""
    return _orvane.raster_unit(str(src))


def _cuts(size, side):
    """[start, end) of the blocks along one axis, `side` cells each (a block reads its halo
    from the file, so a thin last block needs nothing from its neighbour)."""
    starts = list(range(0, size, side))
    ends = starts[1:] + [size]
    return list(zip(starts, ends))


def _run_blocks(blocks, task, progress, src):
    """Yields (block, part) as blocks finish: on the active client's workers, else locally."""
    client = _active_client()
    if client is None:
        import dask

        delayed = [dask.delayed(_compute_block, pure=True)(block, **task) for block in blocks]
        # Our own pool: when a block fails, the blocks still running are waited for (and those
        # not started dropped) before the parts folder is removed under them.
        pool = ThreadPoolExecutor(max_workers=os.cpu_count() or 1)
        try:
            if progress:
                from dask.diagnostics import ProgressBar

                with ProgressBar():
                    done = dask.compute(*delayed, scheduler="threads", pool=pool)
            else:
                done = dask.compute(*delayed, scheduler="threads", pool=pool)
        finally:
            pool.shutdown(wait=True, cancel_futures=True)
        yield from zip(blocks, done)
        return
    from distributed import as_completed
    from distributed.scheduler import KilledWorker

    token = uuid.uuid4().hex[:8]
    futures = {client.submit(_compute_block, block, **task, pure=False,
                             key=f"orvane-block-{block[0]}-{block[2]}-{token}"): block
               for block in blocks}
    try:
        for done, future in enumerate(as_completed(futures), 1):
            if progress:  # drawn here: distributed.progress would hold the loop until the end
                filled = 40 * done // len(futures)
                print(f"\r[{'#' * filled:<40}] {100 * done // len(futures):3d}% "
                      f"({done} of {len(futures)} blocks)", end="\n" if done == len(futures)
                      else "", file=sys.stderr, flush=True)
            block = futures[future]
            try:
                part = future.result()
            except KilledWorker as e:
                raise RuntimeError(
                    f"{_where(src, block)}: the workers computing it died every time it was "
                    f"tried (killed, or beyond their memory limit: try smaller chunks): "
                    f"{e}") from None
            yield block, part
    finally:
        client.cancel(list(futures))


def _where(src, block):
    top, bottom, left, right = block
    return f"{src}: block of lines {top}-{bottom - 1}, columns {left}-{right - 1}"


def _window_metres(dataset, top, bottom, left, right):
    """The window's elevations in metres as orvane.xarray reads them: NoData as NaN, integers
    widened exactly to float64, float32 kept."""
    from rasterio.windows import Window

    data = dataset.read(1, window=Window(left, top, right - left, bottom - top), masked=True)
    dtype = np.float64 if data.dtype.kind in "iub" else data.dtype
    metres = np.ma.filled(data.astype(dtype), np.nan)
    scale, offset = dataset.scales[0], dataset.offsets[0]
    if scale != 1.0 or offset != 0.0:
        metres = metres * scale + offset
    return metres


def _compute_block(block, src, parts, treatment, pixel, unit, params, depth, layout):
    """Reads the block with its halo, computes it, writes it as a GeoTIFF of whole tiles in
    `parts` and returns where its compressed tiles lie in that file."""
    import rasterio

    top, bottom, left, right = block
    lines, columns = layout["lines"], layout["columns"]
    # The halo stops at the grid's edges: edge cells are computed as edge cells.
    y0, y1 = max(0, top - depth), min(lines, bottom + depth)
    x0, x1 = max(0, left - depth), min(columns, right + depth)
    try:
        with rasterio.Env(GDAL_CACHEMAX=64, GDAL_PAM_ENABLED="NO"):
            with _GDAL_LOCK, rasterio.open(src) as dataset:
                window = _window_metres(dataset, y0, y1, x0, x1)
            inner = (slice(top - y0, bottom - y0), slice(left - x0, right - x0))
            if np.isnan(window).all():
                # Nothing but NoData around: no value anywhere in the block.
                values = np.full((bottom - top, right - left), np.nan, np.float32)
            else:
                values = getattr(orvane, treatment)(window, pixel=pixel, unit=unit, **params)[inner]
            return _write_part(values, Path(parts) / f"{top}_{left}.tif", layout)
    except Exception as e:  # noqa: BLE001 - said with the block, without its arrays
        raise RuntimeError(f"{_where(src, block)}: {type(e).__name__}: {e}") from None


# Blocks computed by threads of one process (the local scheduler, a worker of several threads)
# read and write through GDAL one at a time: GDAL's block cache is shared by the process, and a
# thread that flushed another thread's block could fail inside GDAL and then wait for the GIL
# rasterio holds while closing a file, which waits for that block: a deadlock. The treatments
# themselves still run side by side.
_GDAL_LOCK = threading.Lock()


def _creation(layout, sparse=False):
    options = dict(driver="GTiff", dtype="float32", count=1, tiled=True, blockxsize=TILE,
                   blockysize=TILE, compress=layout["compress"], nodata=np.nan)
    if layout["compress"] != "NONE":
        options["predictor"] = 3
    if layout["compress"] == "ZSTD":
        options["zstd_level"] = 1  # as orvane-cli: as small as DEFLATE, four times faster
    if sparse:
        options["sparse_ok"] = True
    return options


def _write_part(values, path, layout):
    """`values` as a GeoTIFF of whole tiles, written under a name of its own and renamed: a
    worker killed while writing leaves no half file under the block's name."""
    import rasterio

    temporary = path.with_name(f"{path.stem}.{os.getpid()}.{uuid.uuid4().hex[:6]}.tmp")
    # A block's file has no georeference: the final file carries it.
    with _GDAL_LOCK, warnings.catch_warnings():
        warnings.simplefilter("ignore", rasterio.errors.NotGeoreferencedWarning)
        with rasterio.open(temporary, "w", width=values.shape[1], height=values.shape[0],
                           **_creation(layout)) as part:
            part.write(values.astype(np.float32, copy=False), 1)
    os.replace(temporary, path)
    offsets, counts = _tile_index(path)
    return dict(path=str(path), offsets=offsets, counts=counts)


# TIFF field types of the tile index, their struct codes.
_FIELD_CODES = {3: "H", 4: "I", 16: "Q"}
_TILE_OFFSETS, _TILE_BYTE_COUNTS = 324, 325


def _tile_entries(file):
    """{tag: (type, count, position of the values)} of the tile index of the first image of a
    TIFF or BigTIFF, and the byte order."""
    file.seek(0)
    header = file.read(16)
    order = {b"II": "<", b"MM": ">"}[header[:2]]
    (version,) = struct.unpack(order + "H", header[2:4])
    big = version == 43
    if big:
        (ifd,) = struct.unpack(order + "Q", header[8:16])
        count_code, entry_size, inline = "Q", 20, 8
    else:
        (ifd,) = struct.unpack(order + "I", header[4:8])
        count_code, entry_size, inline = "H", 12, 4
    file.seek(ifd)
    (entries,) = struct.unpack(order + count_code, file.read(struct.calcsize(count_code)))
    table = file.read(entries * entry_size)
    found = {}
    for k in range(entries):
        entry = table[k * entry_size:(k + 1) * entry_size]
        tag, kind = struct.unpack(order + "HH", entry[:4])
        if tag not in (_TILE_OFFSETS, _TILE_BYTE_COUNTS):
            continue
        if big:
            (count,) = struct.unpack(order + "Q", entry[4:12])
            value_at = ifd + 8 + k * entry_size + 12
        else:
            (count,) = struct.unpack(order + "I", entry[4:8])
            value_at = ifd + 2 + k * entry_size + 8
        size = struct.calcsize(_FIELD_CODES[kind]) * count
        if size > inline:
            file.seek(value_at)
            (value_at,) = struct.unpack(order + ("Q" if big else "I"), file.read(inline))
        found[tag] = (kind, count, value_at)
    return order, found


def _tile_index(path):
    """Offsets and byte counts of a tiled TIFF's tiles, row by row."""
    with open(path, "rb") as file:
        order, found = _tile_entries(file)
        index = []
        for tag in (_TILE_OFFSETS, _TILE_BYTE_COUNTS):
            kind, count, at = found[tag]
            file.seek(at)
            code = _FIELD_CODES[kind]
            index.append(list(struct.unpack(f"{order}{count}{code}",
                                            file.read(struct.calcsize(code) * count))))
    return index


class _Assembly:
    """The final GeoTIFF: made empty by GDAL (tile index all zeros), filled with the blocks'
    compressed tiles as they come, its tile index written at the end, renamed onto `dst`."""

    def __init__(self, dst, source, layout):
        import rasterio

        self.dst = dst
        self.temporary = dst.with_name(f".{dst.name}.{uuid.uuid4().hex[:8]}.tmp")
        lines, columns = layout["lines"], layout["columns"]
        self.tiles_across = -(-columns // TILE)
        count = self.tiles_across * -(-lines // TILE)
        self.offsets, self.counts = [0] * count, [0] * count
        options = _creation(layout, sparse=True)
        # Past 4 GB of tiles the offsets need BigTIFF; decided from the uncompressed size.
        options["BIGTIFF"] = "IF_SAFER"
        crs = source.rio.crs
        with rasterio.Env(GDAL_PAM_ENABLED="NO"):
            with rasterio.open(self.temporary, "w", width=columns, height=lines,
                               crs=crs, transform=source.rio.transform(), **options) as out:
                if layout["units"]:
                    out.units = (layout["units"],)
        self.file = open(self.temporary, "r+b")
        self.file.seek(0, os.SEEK_END)

    def add(self, block, part):
        top, bottom, left, right = block
        across = -(-(right - left) // TILE)
        stored = [(o, n) for o, n in zip(part["offsets"], part["counts"]) if n > 0]
        with open(part["path"], "rb") as source:
            start = min((o for o, _ in stored), default=0)
            end = max((o + n for o, n in stored), default=0)
            base = self.file.tell()
            source.seek(start)
            remaining = end - start
            while remaining > 0:
                chunk = source.read(min(remaining, 1 << 24))
                if not chunk:
                    raise RuntimeError(f"{part['path']} is shorter than its tile index says")
                self.file.write(chunk)
                remaining -= len(chunk)
        for k, (offset, count) in enumerate(zip(part["offsets"], part["counts"])):
            tile = (top // TILE + k // across) * self.tiles_across + left // TILE + k % across
            if count > 0:
                self.offsets[tile], self.counts[tile] = base + offset - start, count
        os.unlink(part["path"])

    def finish(self):
        order, found = _tile_entries(self.file)
        for tag, values in ((_TILE_OFFSETS, self.offsets), (_TILE_BYTE_COUNTS, self.counts)):
            kind, count, at = found[tag]
            code = _FIELD_CODES[kind]
            if count != len(values):
                raise RuntimeError(f"{self.dst}: GDAL laid out {count} tiles, not {len(values)}")
            if max(values, default=0) >= 1 << (8 * struct.calcsize(code)):
                raise RuntimeError(f"{self.dst}: the tiles lie beyond what its TIFF variant "
                                   f"can address")
            self.file.seek(at)
            self.file.write(struct.pack(f"{order}{count}{code}", *values))
        self.file.flush()
        os.fsync(self.file.fileno())
        self.file.close()
        os.replace(self.temporary, self.dst)

    def discard(self):
        if not self.file.closed:
            self.file.close()
        if self.temporary.exists():
            self.temporary.unlink()


def _process_to_zarr(src, dst, key, chunks, unit, pixel, progress, params):
    import rioxarray
    from . import xarray as orvane_xarray

    if np.ndim(chunks) == 0:
        chunks = {"band": 1, "y": int(chunks), "x": int(chunks)}
    source = rioxarray.open_rasterio(src, chunks=chunks, masked=True)
    values = orvane_xarray.run_dataarray(key, source, unit=unit, pixel=pixel, **params)
    values.attrs.pop("_FillValue", None)
    # Zarr wants even chunks; the halo may have merged a thin last block into its neighbour.
    values = values.chunk({dim: chunks.get(dim, -1) for dim in values.dims})
    delayed = values.to_dataset(name=values.name).to_zarr(dst, mode="w", compute=False)
    client = _active_client()
    if client is not None:
        future = client.compute(delayed)
        if progress:
            from distributed import progress as show_progress

            show_progress(future)
        future.result()
    elif progress:
        from dask.diagnostics import ProgressBar

        with ProgressBar():
            delayed.compute()
    else:
        delayed.compute()
    return dst


def _active_client():
    try:
        from distributed import get_client

        return get_client()
    except (ImportError, ValueError):
        return None
