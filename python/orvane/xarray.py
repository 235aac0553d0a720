"""ORVANE's treatments on georeferenced xarray DataArrays (rioxarray).

``orvane.xarray.<name>(da, pixel=None, unit=None, **params)`` takes a 2-D DataArray (or one
band of ``rioxarray.open_rasterio``), reads the cell size from its transform and CRS (projected
units converted to metres; geographic degrees converted at the grid's central latitude on the
CRS's ellipsoid, as the GeoTIFF import does) and returns the value grid as a DataArray with
the same coordinates and CRS, ``attrs["units"]`` the unit of the values computed (for
``circular``, the chosen statistic's). A DataArray whose cell size cannot be found in metres
(no CRS, or one GDAL does not recognise) is refused unless ``pixel`` (metres) is given. The
cells are elevations in metres (the raster's NoData and NaN: NoData, NaN wherever a value
rests on them), converted to whole units of ``unit`` as the GeoTIFF import does (by default
the finest unit the range fits in). A DataArray backed by Dask is computed block by
block (see orvane.dask).

``orvane.xarray.<name>_image(da, ...)`` gives the picture as a DataArray on the same
coordinates (with a last ``rgb`` dimension for a colour picture), ``<name>_figures`` the
figures (dict); both compute the whole grid in memory.
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
    """(width, height) of a cell in metres from the DataArray's transform and CRS; ValueError
    when they do not tell it (no CRS, or one GDAL does not recognise)."""
    da = _two_d(da)
    t = da.rio.transform()
    gdal_order = (t.c, t.a, t.b, t.f, t.d, t.e)
    lines, columns = da.shape
    crs = da.rio.crs
    if crs is None:
        raise ValueError(f"the cell size in metres is unknown (the DataArray has no coordinate "
                         f"reference system; its steps are {abs(t.a):g} x {abs(t.e):g}): give "
                         f"pixel= (metres, a number or (width, height)), or write the CRS "
                         f"(da.rio.write_crs)")
    size = _orvane.ground_cell_size(crs.to_wkt(), gdal_order, lines, columns)
    return size["width"], size["height"]


def _wrap(values, like, declaration, units):
    import xarray

    out = xarray.DataArray(values, coords=like.coords, dims=like.dims,
                           name=declaration["id"].replace("-", "_"))
    out.attrs = {"units": units, "long_name": declaration["value_name"] or declaration["id"]}
    if like.rio.crs is not None:
        out = out.rio.write_crs(like.rio.crs)
    out = out.rio.write_nodata(np.nan, encoded=False)
    return out


def _arguments(da, pixel, unit):
    """The 2-D DataArray and its (width, height) in metres; a unit name given second (the
    former order, da, unit, pixel) is taken as the unit."""
    if isinstance(pixel, str):
        warnings.warn("orvane.xarray functions take (da, pixel, unit) as orvane does: "
                      f"give unit={pixel!r} by keyword", FutureWarning, stacklevel=4)
        pixel, unit = (None if isinstance(unit, str) else unit), pixel
    da = _two_d(da)
    if pixel is None:
        pixel = cell_size(da)
    return da, orvane._pixel_sizes(None, pixel), unit


def _value_unit(key, pixel, unit, params):
    """The unit of the values for these parameters (circular's depends on the statistic),
    from a run on a small flat grid."""
    declaration = orvane._DECLARATIONS[key]
    declared = declaration["value_unit"]
    if "," not in declared and " or " not in declared:
        return declared
    try:
        probe = orvane.run(key, np.zeros((5, 5)), pixel=pixel, unit=unit, picture=False,
                           **params)
        return probe.value_unit
    except (ValueError, TypeError):
        return declared


def run_dataarray(name, da, pixel=None, unit=None, **params):
    """The value grid of treatment `name` over `da` (see the module's help)."""
    key = orvane._python_name(name)
    declaration = orvane._DECLARATIONS[key]
    if not declaration["values"]:
        raise ValueError(f"{key} makes a picture, not a per-cell quantity: use "
                         f"orvane.{key}_image on the array")
    da, pixel, unit = _arguments(da, pixel, unit)
    metres = elevations_in_metres(da)
    if _is_dask(metres.data):
        from . import dask as orvane_dask

        values = orvane_dask.run_dask(key, metres.data, pixel=pixel, unit=unit, **params)
        units = _value_unit(key, pixel, unit, params)
    else:
        result = orvane.run(key, np.asarray(metres.data), pixel=pixel, unit=unit,
                            picture=False, **params)
        values, units = result.values, result.value_unit
    return _wrap(values, da, declaration, units)


def _picture_or_figures(key, what, da, pixel, unit, params):
    da, pixel, unit = _arguments(da, pixel, unit)
    metres = np.asarray(elevations_in_metres(da).data)
    got = getattr(orvane, f"{key}_{what}")(metres, pixel=pixel, unit=unit, **params)
    if what != "image":
        return got
    import xarray

    dims = da.dims + (("rgb",) if got.ndim == 3 else ())
    out = xarray.DataArray(got, coords=da.coords, dims=dims, name=f"{key}_image")
    if da.rio.crs is not None:
        out = out.rio.write_crs(da.rio.crs)
    return out


def _is_dask(data):
    return type(data).__module__.startswith("dask.")


_DOC_HEAD = {
    "values": "orvane.{key} on a georeferenced DataArray: returns a DataArray with the same "
              "coordinates and CRS.",
    "image": "orvane.{key}_image on a georeferenced DataArray: the picture as a DataArray on "
             "the same coordinates (last dimension 'rgb' for a colour picture).",
    "figures": "orvane.{key}_figures on a georeferenced DataArray: the figures as a dict.",
}


def _make(key, what):
    if what == "values":
        def treatment(da, pixel=None, unit=None, **params):
            return run_dataarray(key, da, pixel=pixel, unit=unit, **params)
    else:
        def treatment(da, pixel=None, unit=None, **params):
            return _picture_or_figures(key, what, da, pixel, unit, params)

    name = key if what == "values" else f"{key}_{what}"
    treatment.__name__ = treatment.__qualname__ = name
    treatment.__doc__ = (_DOC_HEAD[what].format(key=key) + " Cell size from the georeference "
                         "unless pixel= is given.\n\n" + (orvane.__dict__[name].__doc__ or ""))
    treatment.__module__ = __name__
    return treatment


for _key, _declaration in orvane._DECLARATIONS.items():
    if not _declaration["dem"]:
        continue  # rasters only: nothing georeferenced to read
    for _what, _flag in (("values", "values"), ("image", "picture"), ("figures", "figures")):
        if _declaration[_flag]:
            _name = _key if _what == "values" else f"{_key}_{_what}"
            globals()[_name] = _make(_key, _what)
            __all__.append(_name)
