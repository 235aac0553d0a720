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
current scheduler (a ``distributed.Client`` when one is active) into a tiled, DEFLATE
compressed Float32 GeoTIFF, or into Zarr when ``dst`` ends in ``.zarr``.
"""
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


def process_geotiff(src, dst, treatment, chunks=2048, unit=None, pixel=None, progress=True,
                    lock=None, **params):
    """Computes treatment's values over the GeoTIFF `src` block by block into `dst`.

    `dst` ending in ``.zarr`` is written as a Zarr store, anything else as a tiled, DEFLATE
    compressed Float32 GeoTIFF with the source's georeference and NaN as NoData. Runs on the
    active ``distributed.Client`` when there is one (workers must see `src` and `dst` at the
    same paths), else on Dask's local scheduler. `chunks`: block side in cells (or a dict per
    dimension). `progress`: a progress bar (distributed.progress or dask's ProgressBar).
    Returns `dst`.
    """
    import rioxarray
    from . import xarray as orvane_xarray

    if np.ndim(chunks) == 0:
        chunks = {"band": 1, "y": int(chunks), "x": int(chunks)}
    source = rioxarray.open_rasterio(src, chunks=chunks, masked=True)
    values = orvane_xarray.run_dataarray(treatment, source, unit=unit, pixel=pixel, **params)
    client = _active_client()
    if str(dst).endswith(".zarr"):
        values.attrs.pop("_FillValue", None)
        # Zarr wants even chunks; the halo may have merged a thin last block into its neighbour.
        values = values.chunk({dim: chunks.get(dim, -1) for dim in values.dims})
        delayed = values.to_dataset(name=values.name).to_zarr(dst, mode="w", compute=False)
    else:
        if lock is None:
            if client is not None:
                from distributed import Lock

                lock = Lock("orvane-process-geotiff-" + str(dst), client=client)
            else:
                import threading

                lock = threading.Lock()
        delayed = values.rio.to_raster(dst, tiled=True, compress="DEFLATE", predictor=3,
                                       dtype="float32", lock=lock, compute=False,
                                       windowed=True)
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
