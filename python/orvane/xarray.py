"""ORVANE's treatments on georeferenced xarray DataArrays (rioxarray).

``orvane.xarray.<name>(da, unit=None, pixel=None, **params)`` takes a 2-D DataArray (or one
band of ``rioxarray.open_rasterio``), reads the cell size from its transform and CRS (projected
units converted to metres; geographic degrees converted at the grid's central latitude on the
CRS's ellipsoid, as the GeoTIFF import does) and returns the value grid as a DataArray with
the same coordinates and CRS, ``attrs["units"]`` the value unit. The cells are elevations in
metres (the raster's NoData and NaN: NoData, NaN wherever a value rests on them), converted
to whole units of ``unit`` as the GeoTIFF import does (by default the finest unit the range
fits in). ``pixel`` overrides the cell
size. A DataArray backed by Dask is computed block by block (see orvane.dask).
"""
import warnings

import numpy as np

import orvane
from . import _orvane

__all__ = ["elevations_in_metres", "cell_size"]


def _two_d(da):
    if da.ndim == 3 and da.shape[0] == 1:
        da = da.isel({da.dims[0]: 0}, drop=True)
    if da.ndim != 2:
        raise ValueError(f"the elevations must be a 2-D DataArray (y, x), not {da.ndim}-D "
                         f"{tuple(da.dims)}")
    return da


def elevations_in_metres(da):
    """The DataArray as reals in metres: NoData (declared or encoded) as NaN; integers
    widened exactly to float64, float32 kept (its precision is the conversion's)."""
    da = _two_d(da)
    nodata = None
    if hasattr(da, "rio"):
        nodata = da.rio.nodata
        if nodata is None:
            nodata = da.rio.encoded_nodata
    data = da
    if data.dtype.kind in "iub":
        data = data.astype(np.float64)
    if nodata is not None and not np.isnan(nodata):
        data = data.where(data != nodata)
    scale = da.attrs.get("scale_factor", 1.0)
    offset = da.attrs.get("add_offset", 0.0)
    if scale != 1.0 or offset != 0.0:
        data = data * scale + offset
    return data


def cell_size(da):
    """(width, height) of a cell in metres from the DataArray's transform and CRS."""
    da = _two_d(da)
    t = da.rio.transform()
    gdal_order = (t.c, t.a, t.b, t.f, t.d, t.e)
    lines, columns = da.shape
    crs = da.rio.crs
    if crs is None:
        warnings.warn("the DataArray has no coordinate reference system: its cell size "
                      f"{abs(t.a):g} x {abs(t.e):g} is taken as metres", stacklevel=3)
        return abs(t.a), abs(t.e)
    size = _orvane.ground_cell_size(crs.to_wkt(), gdal_order, lines, columns)
    return size["width"], size["height"]


def _wrap(values, like, declaration):
    import xarray

    out = xarray.DataArray(values, coords=like.coords, dims=like.dims,
                           name=declaration["id"].replace("-", "_"))
    out.attrs = {"units": declaration["value_unit"],
                 "long_name": declaration["value_name"] or declaration["id"]}
    if like.rio.crs is not None:
        out = out.rio.write_crs(like.rio.crs)
    out = out.rio.write_nodata(np.nan, encoded=False)
    return out


def run_dataarray(name, da, unit=None, pixel=None, **params):
    """The value grid of treatment `name` over `da` (see the module's help)."""
    key = orvane._python_name(name)
    declaration = orvane._DECLARATIONS[key]
    if not declaration["values"]:
        raise ValueError(f"{key} makes a picture, not a per-cell quantity: use "
                         f"orvane.{key}_image on the array")
    da = _two_d(da)
    if pixel is None:
        pixel = cell_size(da)
    metres = elevations_in_metres(da)
    if _is_dask(metres.data):
        from . import dask as orvane_dask

        values = orvane_dask.run_dask(key, metres.data, pixel=pixel, unit=unit, **params)
    else:
        values = getattr(orvane, key)(np.asarray(metres.data), pixel=pixel, unit=unit, **params)
    return _wrap(values, da, declaration)


def _is_dask(data):
    return type(data).__module__.startswith("dask.")


def _make(key, declaration):
    def treatment(da, unit=None, pixel=None, **params):
        return run_dataarray(key, da, unit=unit, pixel=pixel, **params)

    treatment.__name__ = treatment.__qualname__ = key
    treatment.__doc__ = (f"orvane.{key} on a georeferenced DataArray: returns a DataArray with "
                         f"the same coordinates and CRS.\n\n" + (orvane.__dict__[key].__doc__ or ""))
    return treatment


for _key, _declaration in orvane._DECLARATIONS.items():
    if _declaration["values"]:
        globals()[_key] = _make(_key, _declaration)
        __all__.append(_key)
