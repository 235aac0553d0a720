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
* ``orvane.run(name, z, ...)``: everything at once, as a :class:`Result`.

Parameters are the CLI's options with '-' turned into '_', with the same defaults, ranges and
messages: a value out of range raises ValueError with orvane-cli's message. Choices take their
CLI names ("gray", "colored"); a choice named by a number also takes the number (table=2).

Elevations ``z``: a 2-D array of any numeric type or an :class:`Dem` (from :func:`read_dem`).
Integers are the stored elevations in ``unit`` (m, dm, cm, mm), as in a raw DEM file; reals
are metres, converted as the GeoTIFF import converts them (times the unit's factor, truncated
toward zero unless within the source type's precision of a whole number) and NaN cells take
the value of the nearest valid cell. ``pixel`` is the cell size in metres, a number or
(width, height) for cells that are not square; a Dem brings its own.

The GIL is released while a treatment runs, and Ctrl+C stops it (KeyboardInterrupt).
"""
import inspect
import warnings

import numpy as np

from . import _orvane

__all__ = ["Dem", "Result", "read_dem", "read_raster", "run", "check_params", "TREATMENTS",
           "treatment_info"]

_UNITS = ("m", "dm", "cm", "mm")
_UNIT_FACTORS = {"m": 1, "dm": 10, "cm": 100, "mm": 1000}

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
                 transform=None, crs=None):
        self.elevations = np.asarray(elevations)
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
        """Elevations in metres (float64)."""
        return self.elevations / float(_UNIT_FACTORS[self.unit])

    def __repr__(self):
        lines, columns = self.shape
        return (f"Dem({lines} lines x {columns} columns, pixel {self.pixel:g} m, "
                f"unit {self.unit})")


class Result:
    """All the outputs of one run.

    values: float32 grid or None; value_unit: its unit; image: the picture as
    :func:`<name>_image` gives it; indices and palette: a palette picture's 8-bit indices and
    its 256 x 3 RGB palette (None otherwise); figures: dict; histogram: the table orvane-cli
    writes with --histogram (text), when asked for.
    """

    def __init__(self, raw):
        self.values = raw["values"]
        self.value_unit = raw["value_unit"]
        self.figures = dict(raw["figures"])
        self.histogram = raw.get("histogram")
        self.picture_kind = raw["picture_kind"]
        picture = raw["picture"]
        self.palette = raw["palette"]
        self.indices = picture if self.picture_kind == "palette" else None
        if picture is not None and self.palette is not None:
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
        return "Result(" + ", ".join(parts) + ")"


def _warn(messages):
    for message in messages:
        warnings.warn(message, stacklevel=3)


def read_dem(path, pixel=None, unit="m", bytes=None, lines=None, columns=None):
    """Opens a DEM file as ``orvane-cli --dem`` does.

    A raw grid (``*_m2.raw`` / ``*_m4.raw`` with its .txt header, or ``bytes``, ``lines`` and
    ``columns`` given) needs ``pixel`` (metres); any raster GDAL reads (GeoTIFF...) gives its
    own from the georeference unless ``pixel`` is given. Its band 1 is converted to whole
    units of ``unit`` and NoData cells take the nearest valid value (with a warning).
    Returns a :class:`Dem`. Errors raise ValueError (or OSError for unreadable files) with
    the CLI's message.
    """
    raw = _orvane.read_dem(str(path), float(pixel or 0.0), unit, int(bytes or 0),
                           int(lines or 0), int(columns or 0))
    _warn(raw["warnings"])
    return Dem(raw["elevations"], raw["pixel"], raw["unit"], raw["pixel_width"],
               raw["pixel_height"], raw["transform"], raw["crs_wkt"])


def read_raster(path):
    """Reads a drainage network or parameter image (.bmp, or .raw with its .txt header).

    Returns uint8: 2-D for gray and palette rasters (the palette indices, what treatments
    read), lines x columns x 3 RGB for a 24-bit bitmap.
    """
    raw = _orvane.read_raster(str(path))
    if raw["missing_bytes"]:
        warnings.warn(f"'{path}' lacks {raw['missing_bytes']} bytes; the missing pixels read as 0",
                      stacklevel=2)
    return raw["picture"]


def _pixel_sizes(z, pixel):
    """(width, height) in metres from `pixel` or the Dem."""
    if pixel is None:
        if isinstance(z, Dem):
            return z.pixel_width, z.pixel_height
        raise ValueError("--pixel is required: give pixel= (the cell size in metres, a number "
                         "or (width, height))")
    if np.ndim(pixel) == 0:
        return float(pixel), float(pixel)
    width, height = pixel
    return float(width), float(height)


def _elevations(z):
    if z is None:
        return None
    if isinstance(z, Dem):
        return z.elevations
    array = np.asarray(z)
    return array


def _cli_params(declaration, params):
    known = {p["name"].replace("-", "_"): p["name"] for p in declaration["params"]}
    cli = {}
    for key, value in params.items():
        if key not in known:
            raise TypeError(f"{declaration['id'].replace('-', '_')}() got an unexpected keyword "
                            f"argument '{key}' (parameters: {', '.join(known) or 'none'})")
        cli[known[key]] = value
    return cli


def _run_raw(name, z, pixel, unit, drainage, param, values, picture, params, histogram=False,
             progress=None):
    declaration = _DECLARATIONS[_python_name(name)]
    # A treatment of rasters alone (z None) has no cells to size.
    width, height = (0.0, 0.0) if z is None else _pixel_sizes(z, pixel)
    if unit is None:
        unit = z.unit if isinstance(z, Dem) else "m"
    raw = _orvane.run(declaration["id"], _elevations(z), width, height, unit,
                      _cli_params(declaration, params),
                      None if drainage is None else np.asarray(drainage),
                      None if param is None else np.asarray(param), values, picture,
                      histogram, progress)
    _warn(raw["warnings"])
    return raw


def check_params(name, **params):
    """Checks treatment `name`'s parameters as orvane-cli does (ranges, choices and the checks
    between parameters): raises ValueError with its message, returns None when they are fine."""
    declaration = _DECLARATIONS[_python_name(name)]
    _orvane.halo(declaration["id"], _cli_params(declaration, params))


def run(name, z, pixel=None, unit=None, drainage=None, param=None, values=True, picture=True,
        histogram=False, progress=None, **params):
    """Runs treatment `name` and returns a :class:`Result` with what it gives (values,
    picture and figures; ``values=False`` or ``picture=False`` skip them, ``histogram=True``
    adds the histogram table of a treatment that has one).

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
    elevations: integers in `unit`, reals in metres (NaN: no value, filled with the nearest)
pixel : float or (width, height)
    cell size in metres (required unless z is a Dem)
unit : {'m', 'dm', 'cm', 'mm'}
    vertical unit of the stored elevations (default: the Dem's, else 'm')"""


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
    elif what == "image":
        lines.append("Returns the picture as uint8: 2-D for gray tones, lines x columns x 3 "
                     "(RGB) for a colour or palette picture.")
    else:
        lines.append("Returns the treatment's named figures as a dict.")
    lines += ["", "Parameters", "----------", _COMMON_DOC]
    if declaration["drainage"]:
        lines.append("drainage : 2-D uint8 array\n    the drainage network raster "
                     "(orvane.read_raster)")
    if declaration["param"]:
        lines.append("param : 2-D uint8 array\n    the parameter image (orvane.read_raster)")
    lines += [_param_doc(option) for option in declaration["params"]]
    if declaration["not_local_reason"]:
        lines += ["", f"Not available block by block (orvane.dask): "
                      f"{declaration['not_local_reason']}."]
    if declaration["examples"]:
        lines += ["", "The same from the command line:", ""]
        lines += ["    " + e for e in declaration["examples"].splitlines()]
    lines += ["", f"See also orvane.run('{name}', ...) for all outputs at once."]
    return "\n".join(lines)


def _signature(declaration):
    P = inspect.Parameter
    parameters = [P("z", P.POSITIONAL_OR_KEYWORD),
                  P("pixel", P.POSITIONAL_OR_KEYWORD, default=None),
                  P("unit", P.POSITIONAL_OR_KEYWORD, default=None)]
    if declaration["drainage"]:
        parameters.append(P("drainage", P.KEYWORD_ONLY, default=None))
    if declaration["param"]:
        parameters.append(P("param", P.KEYWORD_ONLY, default=None))
    for option in declaration["params"]:
        name = option["name"].replace("-", "_")
        if option["required"]:
            parameters.append(P(name, P.KEYWORD_ONLY))
        else:
            parameters.append(P(name, P.KEYWORD_ONLY, default=_default_of(option)))
    return inspect.Signature(parameters)


def _make(declaration, what):
    name = declaration["id"].replace("-", "_")

    def treatment(z, pixel=None, unit=None, drainage=None, param=None, **params):
        raw = _run_raw(name, z, pixel, unit, drainage, param, what == "values",
                       what == "image", params)
        if what == "values":
            return raw["values"]
        if what == "image":
            result = Result(raw)
            return result.image
        return dict(raw["figures"])

    treatment.__name__ = treatment.__qualname__ = name + ("" if what == "values" else "_" + what)
    treatment.__doc__ = _docstring(declaration, what)
    treatment.__signature__ = _signature(declaration)
    treatment.__module__ = __name__
    return treatment


def _generate():
    for name, declaration in _DECLARATIONS.items():
        made = {}
        if declaration["picture"]:
            made[name + "_image"] = _make(declaration, "image")
        if declaration["figures"]:
            made[name + "_figures"] = _make(declaration, "figures")
        if declaration["values"]:
            made[name] = _make(declaration, "values")
        elif declaration["picture"]:
            made[name] = made[name + "_image"]
        elif declaration["figures"]:
            made[name] = made[name + "_figures"]
        globals().update(made)
        __all__.extend(made)


_generate()
