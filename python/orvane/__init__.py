"""ORVANE's morphometric treatments on numpy arrays.

Every treatment of orvane-cli is a function here, made from its declaration when the package
is imported (the list is ``orvane.TREATMENTS``)::

    z = orvane.read_dem("data/jacksboro_m2.raw", pixel=90)
    s = orvane.slope(z)                       # float32 degrees, NaN where no value
    img = orvane.slope_image(z, table="gray") # uint8 picture
    orvane.total_depth_figures(z, window=11)  # {'min': ..., 'max': ...}

Names: the command name with '-' turned into '_' (total-depth -> total_depth).

* ``orvane.<name>(z, pixel=None, unit=None, **params)``: the value grid, float32, z's shape,
  NaN where the treatment gives no value (a treatment without values returns its picture, and
  one with figures only its figures).
* ``orvane.<name>_image(...)``: the picture, uint8: 2-D for gray tones, lines x columns x 3 (RGB)
  for a colour picture; a palette picture is expanded to RGB (``orvane.run`` gives the indices
  and the palette).
* ``orvane.<name>_figures(...)``: the named figures (dict), for treatments that give some.
* ``orvane.<name>_histogram(...)``: the table (float64, one row per class), for treatments that
  give one (``gray_histogram`` gives only that).
* ``orvane.run(name, z, ...)``: everything at once, as a :class:`Result`.

A drainage network is a 2-D mask of z's shape, 1 (or True) on the network and 0 elsewhere:
what ``extract_drainage`` returns, what ``drainage=`` takes and what :func:`read_drainage`
reads from a network file.

Parameters are the CLI's options with '-' turned into '_', with the same defaults, ranges and
messages: a value out of range raises ValueError with orvane-cli's message. Choices take their
CLI names ("gray", "colored"); a choice named by a number also takes the number (table=2).

Elevations ``z``: a 2-D array of any numeric type or an :class:`Dem` (from :func:`read_dem`);
the masked cells of a ``numpy.ma`` array are NoData, as NaN.
Integers are the stored elevations in ``unit`` (m, dm, cm, mm), as in a raw DEM file; reals
are metres, converted as the GeoTIFF import converts them (times the unit's factor, truncated
toward zero unless within the source type's precision of a whole number; without ``unit``, in
the finest unit their range fits in) and NaN cells are NoData: a value that rests on them is
NaN, as the treatment's NoData rule says. ``pixel`` is the cell size in metres, a number or
(width, height) for cells that are not square; a Dem brings its own.

The GIL is released while a treatment runs, and Ctrl+C stops it (KeyboardInterrupt).
"""
import inspect
import os
import warnings

import numpy as np

from . import _orvane

__version__ = _orvane.__version__

__all__ = ["Dem", "Result", "read_dem", "read_raster", "read_drainage", "network_of_cells", "run",
           "check_params",
           "TREATMENTS",
           "treatment_info"]

_UNITS = ("m", "dm", "cm", "mm", "0.1mm")
_UNIT_FACTORS = {"m": 1, "dm": 10, "cm": 100, "mm": 1000, "0.1mm": 10000}

# The declarations, in orvane-cli's order, keyed by their Python name.
_DECLARATIONS = {t["id"].replace("-", "_"): t for t in _orvane.treatments()}
TREATMENTS = tuple(_DECLARATIONS)


def treatment_info(name):
    """The declaration of a treatment (a dict: id, params, value unit, NoData rule...)."""
    return _DECLARATIONS[_python_name(name)]


def _python_name(name):
    key = name.replace("-", "_")
    if key not in _DECLARATIONS:
        raise ValueError(f"no treatment '{name}' (known: {', '.join(TREATMENTS)})")
    return key


class Dem:
    """A DEM: stored elevations (int32, in ``unit``) and its cell size in metres.

    ``np.asarray(dem)`` gives the stored elevations; :meth:`metres` gives them in metres.
    ``transform`` (GDAL order) and ``crs`` (WKT) are set for a georeferenced raster.
    """

    def __init__(self, elevations, pixel, unit="m", pixel_width=None, pixel_height=None,
                 transform=None, crs=None, valid=None):
        self.elevations = np.asarray(elevations)
        # 1 where a cell holds an elevation, 0 at NoData; None when every cell does.
        self.valid = None if valid is None else np.asarray(valid)
        self.pixel = float(pixel)
        self.unit = unit
        self.pixel_width = float(pixel_width if pixel_width is not None else pixel)
        self.pixel_height = float(pixel_height if pixel_height is not None else pixel)
        self.transform = transform
        self.crs = crs

    @property
    def shape(self):
        return self.elevations.shape

    def __array__(self, dtype=None):
        return self.elevations if dtype is None else self.elevations.astype(dtype)

    def metres(self):
        """Elevations in metres (float64), NaN at NoData cells."""
        metres = self.elevations / float(_UNIT_FACTORS[self.unit])
        return metres if self.valid is None else np.where(self.valid != 0, metres, np.nan)

    def __repr__(self):
        lines, columns = self.shape
        return (f"Dem({lines} lines x {columns} columns, pixel {self.pixel:g} m, "
                f"unit {self.unit})")


class Result:
    """All the outputs of one run.

    values: float32 grid or None; value_unit: its unit; image: the picture as
    :func:`<name>_image` gives it; picture_kind: "gray", "palette" or "rgb"; indices and
    palette: the picture's 8-bit indices (a palette or gray picture) and its 256 x 3 RGB
    palette (gray ramp for a gray picture; both None for an RGB picture or without one);
    figures: dict; histogram: the table as float64 rows, or None; histogram_text: the same
    table as orvane-cli writes it with --histogram.
    """

    def __init__(self, raw):
        self.values = raw["values"]
        self.value_unit = raw["value_unit"]
        self.figures = dict(raw["figures"])
        self.histogram_text = raw.get("histogram") or None
        self.histogram = _table(self.histogram_text or "")
        self.picture_kind = raw["picture_kind"]
        picture = raw["picture"]
        self.palette = raw["palette"]
        self.indices = picture if self.picture_kind in ("palette", "gray") else None
        if self.picture_kind == "gray":
            self.palette = np.repeat(np.arange(256, dtype=np.uint8)[:, None], 3, axis=1)
        if self.picture_kind == "palette":
            self.image = self.palette[picture]
        else:
            self.image = picture

    def __repr__(self):
        parts = []
        if self.values is not None:
            parts.append(f"values {self.values.shape} {self.value_unit or ''}".rstrip())
        if self.image is not None:
            parts.append(f"image {self.picture_kind} {self.image.shape}")
        if self.figures:
            parts.append(f"figures {self.figures}")
        if self.histogram is not None:
            parts.append(f"histogram {self.histogram.shape}")
        return "Result(" + ", ".join(parts) + ")"


def _table(text):
    """A tab-separated table as float64 rows, or None when empty."""
    rows = [line.split("\t") for line in text.splitlines() if line.strip()]
    if not rows:
        return None
    return np.array(rows, dtype=np.float64)


def _warn(messages):
    for message in messages:
        warnings.warn(message, stacklevel=3)


def read_dem(path, pixel=None, unit=None, bytes=None, lines=None, columns=None):
    """Opens a DEM file as ``orvane-cli --dem`` does.

    A raw grid (``*_m2.raw`` / ``*_m4.raw`` with its .txt header, or ``bytes``, ``lines`` and
    ``columns`` given) needs ``pixel`` (metres); any raster GDAL reads (GeoTIFF...) gives its
    own from the georeference unless ``pixel`` is given. Its band 1 is converted to whole
    units of ``unit`` (default: metres, or for a real-valued raster the finest unit its range
    fits in); NoData cells stay NoData (``Dem.valid``) and give NaN in every result.
    Returns a :class:`Dem`. Errors raise ValueError (or OSError for unreadable files) with
    the CLI's message.
    """
    if pixel is not None:
        pixel = _positive_pixel(pixel, "pixel")
    if unit is not None and not isinstance(unit, str):
        raise TypeError(f"unit must be a str (m, dm, cm, mm), not {type(unit).__name__}")
    raw = _orvane.read_dem(os.fspath(path), float(pixel or 0.0), unit or "", int(bytes or 0),
                           int(lines or 0), int(columns or 0))
    _warn(raw["warnings"])
    return Dem(raw["elevations"], raw["pixel"], raw["unit"], raw["pixel_width"],
               raw["pixel_height"], raw["transform"], raw["crs_wkt"], raw["valid"])


def read_raster(path):
    """Reads a parameter image or any picture (.bmp, or .raw with its .txt header).

    Returns uint8: 2-D for gray and palette rasters (the palette indices, what treatments
    read), lines x columns x 3 RGB for a 24-bit bitmap.
    A drainage network file gives its gray values here (255: background); read it with
    :func:`read_drainage` to pass it as ``drainage=``.
    """
    return _read_picture(path, stacklevel=3)


def _read_picture(path, stacklevel):
    raw = _orvane.read_raster(os.fspath(path))
    if raw["missing_bytes"]:
        warnings.warn(f"'{path}' lacks {raw['missing_bytes']} bytes; the missing pixels read as 0",
                      stacklevel=stacklevel)
    return raw["picture"]


def read_drainage(path):
    """Reads a drainage network file (.bmp, or .raw with its .txt header, as written by
    ``orvane-cli extract-drainage --out``) as the network mask ``drainage=`` takes: uint8,
    1 on the network, 0 elsewhere.

    As the treatments read such a file, the background is gray value 255 and the network is
    ONE gray value (a colour pixel's gray value is the mean of its three channels): the first
    value other than 255, line after line. Other values are left out, with a warning.
    """
    return network_of_cells(_read_picture(path, stacklevel=3), f"'{path}'")


def network_of_cells(cells, name="the network raster"):
    """The network mask (uint8, 1 on the network) of a network raster's cells (gray values,
    or lines x columns x 3 colour), by the rule of read_drainage."""
    picture = np.asarray(cells).astype(np.int32)
    gray = picture.sum(axis=2) // 3 if picture.ndim == 3 else picture
    values = np.unique(gray[gray != 255])
    if values.size == 0:
        return np.zeros(gray.shape, np.uint8)
    first = gray.flat[np.flatnonzero(gray != 255)[0]]
    if values.size > 1:
        warnings.warn(f"{name} holds {values.size} gray values besides the background 255; "
                      f"the network is taken as the cells of value {first}", stacklevel=3)
    return (gray == first).astype(np.uint8)


# Cell sizes the computation keeps exact: below, products of sizes underflow single
# precision; above, they overflow it.
_PIXEL_RANGE = (1e-6, 1e7)


def _positive_pixel(value, name):
    if isinstance(value, (str, bytes, bool)) or not hasattr(value, "__float__"):
        raise TypeError(f"{name} must be a number of metres, not {type(value).__name__}")
    metres = float(value)
    if not metres > 0.0 or not np.isfinite(metres):
        raise ValueError(f"{name} must be a positive number of metres, not {value!r}")
    low, high = _PIXEL_RANGE
    if not low <= metres <= high:
        raise ValueError(f"{name} {metres:g} m is out of range: a cell size must lie between "
                         f"{low:g} and {high:g} metres")
    return metres


def _pixel_sizes(z, pixel, caller="the treatment"):
    """(width, height) in metres from `pixel` or the Dem."""
    if pixel is None:
        if isinstance(z, Dem):
            return z.pixel_width, z.pixel_height
        raise TypeError(f"{caller} missing required argument 'pixel' (the cell size in "
                        f"metres, a number or (width, height)) unless z is an orvane.Dem")
    if np.ndim(pixel) == 0:
        size = _positive_pixel(pixel, "pixel")
        return size, size
    if np.ndim(pixel) != 1 or len(pixel) != 2:
        raise TypeError("pixel must be a number or (width, height) in metres")
    width, height = pixel
    return _positive_pixel(width, "pixel width"), _positive_pixel(height, "pixel height")


def _elevations(z, unit):
    """The array handed to the core: a masked array's masked cells become NaN (no value)."""
    if isinstance(z, Dem):
        return z.elevations
    if np.ma.isMaskedArray(z):
        mask = np.ma.getmaskarray(z)
        data = np.ma.getdata(z)
        if not mask.any():
            return data
        if data.dtype.kind in "iub":
            # Stored elevations in the unit, as metres so that NaN can mark the masked cells
            # (converted back exactly).
            data = data.astype(np.float64) / _UNIT_FACTORS.get(unit, 1)
        elif data.dtype != np.float32:
            data = data.astype(np.float64)
        return np.where(mask, np.nan, data).astype(data.dtype)
    if isinstance(z, (str, bytes)) or z is None:
        raise TypeError(f"z must be a 2-D numeric array or an orvane.Dem, not "
                        f"{type(z).__name__}")
    array = np.asarray(z)
    if array.dtype.kind not in "iuf":
        raise TypeError(f"z must be a 2-D numeric array or an orvane.Dem, not an array of "
                        f"dtype {array.dtype}")
    return array


def _network(grid, name, shape):
    """A drainage mask as the raster the core reads: network 0, background 255."""
    array = np.asarray(grid)
    if array.dtype.kind not in "iufb":
        raise TypeError(f"{name} must be a 2-D array, 1 on the network and 0 elsewhere, not "
                        f"dtype {array.dtype}")
    _check_shape(array, name, shape)
    if array.dtype.kind != "b":
        bad = (array != 0) & (array != 1)
        if bad.any():
            where = np.argwhere(bad)[0]
            raise ValueError(f"{name} must be 1 on the network and 0 elsewhere: it holds "
                             f"{array[tuple(where)]!r} at line {where[0]}, column {where[1]} "
                             f"(a network file: read it with orvane.read_drainage)")
    return np.where(array != 0, 0, 255).astype(np.uint8)


def _gray_image(grid, name, shape):
    array = np.asarray(grid)
    if array.dtype.kind not in "iu":
        raise TypeError(f"{name} must be a 2-D array of gray values 0..255, not dtype "
                        f"{array.dtype}")
    _check_shape(array, name, shape)
    if array.size and (array.min() < 0 or array.max() > 255):
        raise ValueError(f"{name} must hold gray values 0..255")
    return array.astype(np.uint8, copy=False)


def _check_shape(array, name, shape):
    if array.ndim != 2:
        raise ValueError(f"{name} must be a 2-D array, not {array.ndim}-D")
    if shape is not None and array.shape != tuple(shape):
        raise ValueError(f"{name} has {array.shape[0]} lines x {array.shape[1]} columns; the "
                         f"elevations have {shape[0]} x {shape[1]}: they must match")


def _cli_params(declaration, params):
    known = {p["name"].replace("-", "_"): p["name"] for p in declaration["params"]}
    cli = {}
    for key, value in params.items():
        if key not in known:
            raise TypeError(f"{declaration['id'].replace('-', '_')}() got an unexpected keyword "
                            f"argument '{key}' (parameters: {', '.join(known) or 'none'})")
        cli[known[key]] = value
    return cli


def _run_raw(name, z, pixel, unit, drainage, param, values, picture, params, histogram=True,
             progress=None):
    key = _python_name(name)
    declaration = _DECLARATIONS[key]
    if unit is None:  # a Dem's own; for reals the finest unit their range fits in
        unit = z.unit if isinstance(z, Dem) else ""
    if not isinstance(unit, str):
        raise TypeError(f"unit must be a str (m, dm, cm, mm), not {type(unit).__name__}")
    for option in declaration["params"]:
        python_name = option["name"].replace("-", "_")
        if option["required"] and params.get(python_name) is None:
            raise TypeError(f"{key}() missing 1 required keyword-only argument: "
                            f"'{python_name}'")
    if declaration["dem"]:
        if z is None:
            raise TypeError(f"{key}() missing 1 required positional argument: 'z' (the "
                            f"elevations)")
        width, height = _pixel_sizes(z, pixel, f"{key}()")
        elevations = _elevations(z, unit)
        shape = elevations.shape if elevations.ndim == 2 else None
    else:
        # The treatment reads rasters only: no elevations, no pixel size.
        width = height = 0.0
        elevations, shape = None, None
    for grid, given in (("drainage", drainage), ("param", param)):
        if given is not None and not declaration[grid]:
            raise TypeError(f"{key}() got an unexpected keyword argument '{grid}'")
    if declaration["drainage"]:
        if drainage is None:
            raise TypeError(f"{key}() missing 1 required keyword-only argument: 'drainage'")
        drainage = _network(drainage, "drainage", shape)
    if declaration["param"]:
        if param is None:
            raise TypeError(f"{key}() missing 1 required keyword-only argument: 'param'")
        param = _gray_image(param, "param", shape)
    raw = _orvane.run(declaration["id"], elevations, width, height, unit,
                      _cli_params(declaration, params), drainage, param, values, picture,
                      z.valid if isinstance(z, Dem) else None, histogram, progress)
    _warn(raw["warnings"])
    return raw


def check_params(name, **params):
    """Checks treatment `name`'s parameters as orvane-cli does (ranges, choices and the checks
    between parameters): raises ValueError with its message, returns None when they are fine."""
    declaration = _DECLARATIONS[_python_name(name)]
    _orvane.halo(declaration["id"], _cli_params(declaration, params))


def run(name, z=None, pixel=None, unit=None, drainage=None, param=None, values=True,
        picture=True, histogram=True, progress=None, **params):
    """Runs treatment `name` and returns a :class:`Result` with what it gives (values,
    picture, figures and histogram; ``values=False``, ``picture=False`` or
    ``histogram=False`` skip them).

    ``z`` is None for a treatment that reads no DEM (only rasters). ``progress``, when given,
    is called every 100 ms or so with the fraction done (0 to 1); an exception it raises
    cancels the run and is raised once the computation has stopped.
    """
    return Result(_run_raw(name, z, pixel, unit, drainage, param, values, picture, params,
                           histogram, progress))


# ---- the generated functions --------------------------------------------------------------

def _default_of(option):
    default = option["default"]
    if option["type"] == "flag":
        return False
    if default is None:
        return None
    if option["type"] == "int":
        return int(float(default))
    if option["type"] == "float":
        return float(default)
    return default


def _param_doc(option):
    kind = option["type"]
    if kind == "choice":
        head = "{" + ", ".join(repr(c[0]) for c in option["choices"]) + "}"
    elif kind == "flag":
        head = "bool"
    else:
        head = kind
    facts = []
    if option["unit"]:
        facts.append(option["unit"])
    if option["required"]:
        facts.append("required")
    if option["minimum"] is not None or option["maximum"] is not None:
        low = "-inf" if option["minimum"] is None else f"{option['minimum']:g}"
        high = "inf" if option["maximum"] is None else f"{option['maximum']:g}"
        facts.append(f"range [{low}, {high}]")
    if option["positive"]:
        facts.append("> 0")
    if option["allowed"]:
        facts.append("one of " + ", ".join(str(v) for v in option["allowed"]))
    if option["default"] is not None and kind != "flag":
        facts.append(f"default {_default_of(option)!r}")
    line = f"{option['name'].replace('-', '_')} : {head}"
    if facts:
        line += ", " + ", ".join(facts)
    text = [line, "    " + option["help"]]
    if kind == "choice":
        text.append("    " + "; ".join(f"{c[0]!r}: {c[2]}" for c in option["choices"]))
    return "\n".join(text)


_COMMON_DOC = """z : 2-D array or orvane.Dem
    elevations: integers in `unit`, reals in metres (NaN or masked: NoData, NaN in the result)
pixel : float or (width, height)
    cell size in metres (required unless z is a Dem)
unit : {'m', 'dm', 'cm', 'mm'}
    vertical unit of the stored elevations (default: the Dem's; integers 'm'; reals the
    finest unit their range fits in, 'mm' for any terrain on Earth)"""

_RASTERS_ONLY_DOC = """z, pixel, unit
    not read (the treatment reads rasters only); kept for a uniform call"""


def _docstring(declaration, what):
    name = declaration["id"].replace("-", "_")
    lines = [declaration["summary"] + ".", ""]
    if what == "values":
        unit = declaration["value_unit"]
        quantity = declaration["value_name"] or "values"
        lines.append(f"Returns the {quantity} values" + (f" ({unit})" if unit else "") +
                     " as a float32 array of z's shape, NaN where there is no value.")
        if declaration["value_nodata"]:
            lines.append(f"No value: {declaration['value_nodata']}.")
        if declaration.get("nodata_rule"):
            lines.append(f"On NoData (NaN in z): {declaration['nodata_rule']}.")
    elif what == "image":
        lines.append("Returns the picture as uint8: 2-D for gray tones, lines x columns x 3 "
                     "(RGB) for a colour or palette picture.")
    elif what == "histogram":
        lines.append("Returns the treatment's table as float64 rows (one per class: the class, "
                     "then its counts), as orvane-cli --histogram writes it.")
    else:
        lines.append("Returns the treatment's named figures as a dict.")
    lines += ["", "Parameters", "----------",
              _COMMON_DOC if declaration["dem"] else _RASTERS_ONLY_DOC]
    if declaration["drainage"]:
        lines.append("drainage : 2-D array, required\n    the drainage network: 1 (True) on the "
                     "network, 0 elsewhere, z's shape (orvane.extract_drainage, "
                     "orvane.read_drainage)")
    if declaration["param"]:
        lines.append("param : 2-D uint8 array, required\n    the parameter image's gray values"
                     + (", z's shape" if declaration["dem"] else "") + " (orvane.read_raster)")
    lines += [_param_doc(option) for option in declaration["params"]]
    if declaration["not_local_reason"]:
        lines += ["", f"Not available block by block (orvane.dask): "
                      f"{declaration['not_local_reason']}."]
    if declaration["examples"]:
        lines += ["", "The same from the command line:", ""]
        lines += ["    " + e for e in declaration["examples"].splitlines()]
    lines += ["", f"See also orvane.run('{name}', ...) for all outputs at once."]
    return "\n".join(lines)


_PARAM_TYPES = {"int": int, "float": float, "flag": bool, "choice": "str | int", "text": str}
_RETURNS = {"values": np.ndarray, "image": np.ndarray, "histogram": np.ndarray,
            "figures": dict}


def _signature(declaration, what):
    P = inspect.Parameter
    z_default = P.empty if declaration["dem"] else None
    parameters = [P("z", P.POSITIONAL_OR_KEYWORD, default=z_default,
                    annotation="numpy.ndarray | orvane.Dem"),
                  P("pixel", P.POSITIONAL_OR_KEYWORD, default=None,
                    annotation="float | tuple[float, float] | None"),
                  P("unit", P.POSITIONAL_OR_KEYWORD, default=None, annotation="str | None")]
    if declaration["drainage"]:
        parameters.append(P("drainage", P.KEYWORD_ONLY, annotation=np.ndarray))
    if declaration["param"]:
        parameters.append(P("param", P.KEYWORD_ONLY, annotation=np.ndarray))
    for option in declaration["params"]:
        name = option["name"].replace("-", "_")
        annotation = _PARAM_TYPES[option["type"]]
        if option["required"]:
            parameters.append(P(name, P.KEYWORD_ONLY, annotation=annotation))
        else:
            parameters.append(P(name, P.KEYWORD_ONLY, default=_default_of(option),
                                annotation=annotation))
    return inspect.Signature(parameters, return_annotation=_RETURNS[what])


def _make(declaration, what):
    name = declaration["id"].replace("-", "_")

    def treatment(z=None, pixel=None, unit=None, drainage=None, param=None, **params):
        raw = _run_raw(name, z, pixel, unit, drainage, param, what == "values",
                       what == "image", params)
        if what == "values":
            return raw["values"]
        if what == "image":
            return Result(raw).image
        if what == "histogram":
            return Result(raw).histogram
        return dict(raw["figures"])

    treatment.__name__ = treatment.__qualname__ = name + ("" if what == "values" else "_" + what)
    treatment.__doc__ = _docstring(declaration, what)
    treatment.__signature__ = _signature(declaration, what)
    treatment.__annotations__ = {
        **{p.name: p.annotation for p in treatment.__signature__.parameters.values()},
        "return": treatment.__signature__.return_annotation}
    treatment.__module__ = __name__
    return treatment


def _generate():
    for name, declaration in _DECLARATIONS.items():
        made = {}
        for what in ("image", "figures", "histogram"):
            if declaration["picture" if what == "image" else what]:
                made[name + "_" + what] = _make(declaration, what)
        if declaration["values"]:
            made[name] = _make(declaration, "values")
        else:
            # Without a per-cell quantity, the name gives the first of the rest.
            made[name] = next(made[name + "_" + w] for w in ("image", "figures", "histogram")
                              if name + "_" + w in made)
        globals().update(made)
        __all__.extend(made)


_generate()
