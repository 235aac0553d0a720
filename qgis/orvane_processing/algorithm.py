"""One Processing algorithm per declared treatment, built from its declaration (no code of its
own): parameters, ranges, defaults and choices as orvane-cli and the orvane package have them.

Conventions: the DEM is the raster layer INPUT (read as orvane-cli reads a GeoTIFF: NoData cells
take the nearest valid elevation, UNIT the vertical precision, the georeference the cell size
unless PIXEL is given); a drainage network or parameter image is DRAINAGE / PARAM; the values
come out as the Float32 raster OUTPUT (NaN as NoData, georeferenced like the input), the picture
as OUTPUT_IMAGE, a histogram table as OUTPUT_HISTOGRAM, and the figures (orvane-cli's key=value
lines) as outputs of their own name and all together as FIGURES.
"""
import os
import tempfile
import warnings

import numpy as np

from qgis.core import (QgsProcessingAlgorithm, QgsProcessingException,
                       QgsProcessingOutputString, QgsProcessingParameterBoolean,
                       QgsProcessingParameterEnum, QgsProcessingParameterFileDestination,
                       QgsProcessingParameterNumber, QgsProcessingParameterRasterDestination,
                       QgsProcessingParameterRasterLayer, QgsProcessingParameterString,
                       QgsProviderRegistry, QgsRasterFileWriter)

from .provider import import_orvane

UNITS = ("m", "dm", "cm", "mm")
UNIT_CHOSEN = "as orvane-cli: metres for whole numbers, the finest unit for reals"
# Names the algorithm itself uses; a declared parameter of the same name would be ambiguous.
RESERVED = {"INPUT", "UNIT", "PIXEL", "DRAINAGE", "PARAM", "OUTPUT", "OUTPUT_IMAGE",
            "OUTPUT_HISTOGRAM", "FIGURES"}


class _Cancelled(Exception):
    """Raised from the progress callback to stop the computation."""


class _Parameter:
    """A declared parameter as the algorithm shows it: its QGIS name, its Python keyword and,
    for an enum, the value each item stands for. Choices are enums of their labels, chosen by
    index as QGIS's own enums are; a whole number limited to a few values (90, 180, 255) is an
    enum of those values, given as themselves (--NORM=255)."""

    def __init__(self, option):
        self.option = option
        self.keyword = option["name"].replace("-", "_")
        self.name = self.keyword.upper()
        if self.name in RESERVED:
            raise ValueError(f"parameter '{option['name']}' clashes with {self.name}")
        self.enum_values = None
        self.enum_labels = None
        self.static_strings = False
        kind = option["type"]
        if kind == "choice":
            self.enum_values = [c[0] for c in option["choices"]]
            self.enum_labels = [c[2] for c in option["choices"]]
        elif kind == "int" and option["allowed"]:
            self.enum_values = [int(v) for v in option["allowed"]]
            self.enum_labels = [str(v) for v in self.enum_values]
            self.static_strings = True

    def default(self):
        # The package's own reading of the declared default; an enum then takes its item.
        value = import_orvane()._default_of(self.option)
        if value is None or self.enum_values is None:
            return value
        if self.static_strings:
            return str(value)
        return self.enum_values.index(value)

    def description(self):
        option = self.option
        text = option["help"][:1].upper() + option["help"][1:]
        return f"{text} ({option['unit']})" if option["unit"] else text

    def definition(self):
        option = self.option
        optional = not option["required"] and option["default"] is None
        if self.enum_values is not None:
            return QgsProcessingParameterEnum(self.name, self.description(), self.enum_labels,
                                              False, self.default(), optional,
                                              self.static_strings)
        if option["type"] == "flag":
            return QgsProcessingParameterBoolean(self.name, self.description(), False)
        if option["type"] == "text":
            return QgsProcessingParameterString(self.name, self.description(), self.default(),
                                                False, optional)
        integer = option["type"] == "int"
        parameter = QgsProcessingParameterNumber(
            self.name, self.description(),
            QgsProcessingParameterNumber.Integer if integer else QgsProcessingParameterNumber.Double,
            self.default(), optional)
        minimum = option["minimum"]
        if option["positive"]:
            # Zero is refused by the declaration's own check, with its message.
            minimum = 1 if integer else 0
        if minimum is not None:
            parameter.setMinimum(minimum)
        if option["maximum"] is not None:
            parameter.setMaximum(option["maximum"])
        return parameter

    def help(self):
        option = self.option
        facts = []
        if self.static_strings:
            facts.append("one of " + ", ".join(self.enum_labels))
        elif self.enum_values is not None:
            facts.append(", ".join(f"{k} = {label} ({name})" for k, (label, name)
                                   in enumerate(zip(self.enum_labels, self.enum_values))))
        elif option["choices"]:  # a number whose values have names
            facts.append(", ".join(f"{c[1]} = {c[2]}" for c in option["choices"]))
        if option["minimum"] is not None or option["maximum"] is not None:
            low = "-inf" if option["minimum"] is None else f"{option['minimum']:g}"
            high = "inf" if option["maximum"] is None else f"{option['maximum']:g}"
            facts.append(f"range [{low}, {high}]")
        if option["positive"]:
            facts.append("> 0")
        if option["default"] is not None and option["type"] != "flag":
            default = self.default()
            if self.enum_values is not None and not self.static_strings:
                default = self.enum_labels[default]
            facts.append(f"default {default}")
        if option["required"]:
            facts.append("required")
        line = f"{self.name}: {self.description()}"
        return line + (" — " + "; ".join(facts) if facts else "")

    def value(self, algorithm, parameters, context):
        """The Python keyword value, or None when not given (the declared default applies)."""
        if parameters.get(self.name) is None:
            return None
        if self.static_strings:
            return int(algorithm.parameterAsEnumString(parameters, self.name, context))
        if self.enum_values is not None:
            return self.enum_values[algorithm.parameterAsEnum(parameters, self.name, context)]
        kind = self.option["type"]
        if kind == "flag":
            return algorithm.parameterAsBoolean(parameters, self.name, context)
        if kind == "int":
            return algorithm.parameterAsInt(parameters, self.name, context)
        if kind == "float":
            return algorithm.parameterAsDouble(parameters, self.name, context)
        return algorithm.parameterAsString(parameters, self.name, context)


class OrvaneAlgorithm(QgsProcessingAlgorithm):
    def __init__(self, declaration):
        super().__init__()
        self.declaration = declaration
        self.parameters_declared = [_Parameter(option) for option in declaration["params"]]

    # ---- identity ------------------------------------------------------------------------

    def createInstance(self):
        return OrvaneAlgorithm(self.declaration)

    def name(self):
        return self.declaration["id"].replace("-", "_")

    def displayName(self):
        return self.declaration["title"]

    def group(self):
        return self.declaration["menu"]

    def groupId(self):
        return self.declaration["menu"].lower().replace(" ", "_")

    def shortDescription(self):
        return self.declaration["summary"]

    def tags(self):
        return ["orvane", "dem", "terrain", "morphometry", self.declaration["id"]]

    def shortHelpString(self):
        d = self.declaration
        lines = []
        if d["values"]:
            unit = f" in {d['value_unit']}" if d["value_unit"] else ""
            lines.append(f"OUTPUT: {d['value_name'] or 'values'}{unit}, Float32, NaN where there "
                         f"is no value ({d['value_nodata']}).")
        if d["picture"]:
            lines.append("OUTPUT_IMAGE: the picture orvane-cli draws (8-bit"
                         + (", colour" if d["colour_picture"] else "") + ").")
        if d["figures"]:
            lines.append("Figures: the key=value lines of orvane-cli, as outputs and in FIGURES.")
        if d["dem"]:
            lines.append("INPUT: the DEM, band 1, elevations in metres; NoData cells take the "
                         "nearest valid elevation. UNIT: the vertical unit they are kept in "
                         "(whole units). PIXEL: the cell size in metres when the georeference "
                         "does not give it.")
        lines += ["", "Parameters:"] + [p.help() for p in self.parameters_declared]
        if d["examples"]:
            lines += ["", "The same with orvane-cli:"] + d["examples"].splitlines()
        return "\n".join(lines)

    # ---- parameters ----------------------------------------------------------------------

    def initAlgorithm(self, config=None):
        d = self.declaration
        if d["dem"]:
            self.addParameter(QgsProcessingParameterRasterLayer("INPUT", "Elevation (DEM)"))
            self.addParameter(QgsProcessingParameterEnum(
                "UNIT", "Vertical unit the elevations are kept in",
                list(UNITS) + [UNIT_CHOSEN], False, len(UNITS)))
            pixel = QgsProcessingParameterNumber(
                "PIXEL", "Cell size in metres (default: from the georeference)",
                QgsProcessingParameterNumber.Double, None, True, 0.0)
            self.addParameter(pixel)
        if d["drainage"]:
            self.addParameter(QgsProcessingParameterRasterLayer("DRAINAGE", "Drainage network"))
        if d["param"]:
            self.addParameter(QgsProcessingParameterRasterLayer("PARAM", "Parameter image"))
        for parameter in self.parameters_declared:
            self.addParameter(parameter.definition())
        if d["values"]:
            title = d["value_name"] or d["title"]
            if d["value_unit"]:
                title += f" ({d['value_unit']})"
            self.addParameter(QgsProcessingParameterRasterDestination("OUTPUT", title))
        if d["picture"]:
            # The picture is optional beside values, the result itself without them.
            only = not d["values"]
            self.addParameter(QgsProcessingParameterRasterDestination(
                "OUTPUT_IMAGE", "Picture", None, not only, only))
        if d["histogram"]:
            only = not (d["values"] or d["picture"] or d["figures"])
            self.addParameter(QgsProcessingParameterFileDestination(
                "OUTPUT_HISTOGRAM", "Histogram table", "Text files (*.txt *.tsv)", None,
                not only, only))
        if d["figures"]:
            self.addOutput(QgsProcessingOutputString("FIGURES", "Figures (key=value lines)"))

    def treatment_parameters(self, parameters, context):
        params = {}
        for parameter in self.parameters_declared:
            value = parameter.value(self, parameters, context)
            if value is not None:
                params[parameter.keyword] = value
        return params

    def checkParameterValues(self, parameters, context):
        # The declaration's checks first: their message is orvane-cli's, with the range.
        try:
            import_orvane().check_params(self.name(), **self.treatment_parameters(parameters, context))
        except ValueError as refused:
            return False, str(refused)
        except Exception:  # a value QGIS itself cannot read: its own check says which
            pass
        return super().checkParameterValues(parameters, context)

    # ---- running -------------------------------------------------------------------------

    def processAlgorithm(self, parameters, context, feedback):
        orvane = import_orvane()
        d = self.declaration
        params = self.treatment_parameters(parameters, context)
        outputs = {key: self._destination(parameters, key, context)
                   for key in ("OUTPUT", "OUTPUT_IMAGE", "OUTPUT_HISTOGRAM")}

        dem = None
        grid_layer = None  # the raster whose grid the results share
        try:
            if d["dem"]:
                layer = self.parameterAsRasterLayer(parameters, "INPUT", context)
                chosen = self.parameterAsEnum(parameters, "UNIT", context)
                # As orvane-cli without --unit: metres for whole numbers, the finest unit the
                # range fits in for reals.
                unit = UNITS[chosen] if chosen < len(UNITS) else None
                pixel = None
                if parameters.get("PIXEL") is not None:
                    pixel = self.parameterAsDouble(parameters, "PIXEL", context) or None
                feedback.pushInfo(f"Reading {_layer_file(layer)}")
                dem = _with_warnings(feedback, orvane.read_dem, _layer_file(layer), pixel=pixel,
                                     unit=unit)
            drainage = param = None
            if d["drainage"]:
                grid_layer = self.parameterAsRasterLayer(parameters, "DRAINAGE", context)
                drainage = orvane.network_of_cells(
                    _raster_cells(orvane, grid_layer, "the drainage network", feedback,
                                  gray_of_colour=True), "the drainage network")
            if d["param"]:
                layer = self.parameterAsRasterLayer(parameters, "PARAM", context)
                param = _raster_cells(orvane, layer, "the parameter image", feedback)
                grid_layer = grid_layer or layer
            if feedback.isCanceled():
                raise _Cancelled()

            def progress(fraction):
                if feedback.isCanceled():
                    raise _Cancelled()
                feedback.setProgress(100.0 * fraction)

            result = _with_warnings(
                feedback, orvane.run, d["id"], dem, drainage=drainage, param=param,
                values=outputs["OUTPUT"] is not None, picture=outputs["OUTPUT_IMAGE"] is not None,
                histogram=outputs["OUTPUT_HISTOGRAM"] is not None, progress=progress, **params)
        except _Cancelled:
            raise QgsProcessingException("Cancelled: nothing was written")
        except (ValueError, OSError, MemoryError) as failure:
            raise QgsProcessingException(str(failure))
        # A cancel that came after the last progress report still cancels.
        if feedback.isCanceled():
            raise QgsProcessingException("Cancelled: nothing was written")

        georef = _georeference(dem, grid_layer)
        results = {}
        if outputs["OUTPUT"] is not None and result.values is not None:
            _write_raster(outputs["OUTPUT"], [result.values], georef, nodata=float("nan"))
            results["OUTPUT"] = outputs["OUTPUT"]
        if outputs["OUTPUT_IMAGE"] is not None and result.image is not None:
            picture_georef = georef if d["picture_on_dem_grid"] else None
            if result.indices is not None:
                _write_raster(outputs["OUTPUT_IMAGE"], [result.indices], picture_georef,
                              palette=result.palette)
            elif result.image.ndim == 3:
                _write_raster(outputs["OUTPUT_IMAGE"], [result.image[:, :, k] for k in range(3)],
                              picture_georef)
            else:
                _write_raster(outputs["OUTPUT_IMAGE"], [result.image], picture_georef)
            results["OUTPUT_IMAGE"] = outputs["OUTPUT_IMAGE"]
        if outputs["OUTPUT_HISTOGRAM"] is not None and result.histogram_text is not None:
            _write_text(outputs["OUTPUT_HISTOGRAM"], result.histogram_text)
            results["OUTPUT_HISTOGRAM"] = outputs["OUTPUT_HISTOGRAM"]
        if d["figures"]:
            lines = []
            for key, value in result.figures.items():
                results[key] = value
                lines.append(f"{key}={value}")
                feedback.pushInfo(f"{key}={value}")
            results["FIGURES"] = "\n".join(lines)
        feedback.setProgress(100)
        return results

    def _destination(self, parameters, key, context):
        """The path an output is to be written to, or None when it is not asked for."""
        if self.parameterDefinition(key) is None or parameters.get(key) is None:
            return None
        if key == "OUTPUT_HISTOGRAM":
            path = self.parameterAsFileOutput(parameters, key, context)
        else:
            path = self.parameterAsOutputLayer(parameters, key, context)
        return path or None


# ---- reading ------------------------------------------------------------------------------

def _layer_file(layer):
    """The file of a raster layer: ORVANE reads what GDAL opens from a file."""
    if layer is None:
        raise QgsProcessingException("no raster layer given")
    if layer.providerType() != "gdal":
        raise QgsProcessingException(
            f"'{layer.name()}' is not a file GDAL reads (provider {layer.providerType()}): "
            "save it as a GeoTIFF first")
    parts = QgsProviderRegistry.instance().decodeUri("gdal", layer.source())
    return parts.get("path") or layer.source()


def _with_warnings(feedback, function, *args, **kwargs):
    """Calls `function`, passing the warnings it issues (filled NoData cells...) to the log."""
    with warnings.catch_warnings(record=True) as caught:
        warnings.simplefilter("always")
        result = function(*args, **kwargs)
    for warning in caught:
        feedback.pushWarning(str(warning.message))
    return result


def _raster_cells(orvane, layer, what, feedback, gray_of_colour=False):
    """The 8-bit cells of a drainage network or parameter image: a .bmp or .raw as orvane-cli
    reads it, anything else through GDAL (the gray values or palette indices of band 1, or
    three 8-bit bands as RGB). With `gray_of_colour`, a colour picture gives the gray value a
    drainage treatment reads from each pixel, the integer mean of its three channels."""
    path = _layer_file(layer)
    if path.lower().endswith((".bmp", ".raw")):
        cells = _with_warnings(feedback, orvane.read_raster, path)
    else:
        from osgeo import gdal

        dataset = gdal.Open(path)
        if dataset is None:
            raise QgsProcessingException(f"cannot open {what} '{path}': {gdal.GetLastErrorMsg()}")
        bands = [dataset.GetRasterBand(k) for k in range(1, min(dataset.RasterCount, 3) + 1)]
        if any(band.DataType != gdal.GDT_Byte for band in bands):
            raise QgsProcessingException(
                f"{what} '{path}' is not an 8-bit raster "
                f"({gdal.GetDataTypeName(bands[0].DataType)}): give a picture (OUTPUT_IMAGE)")
        if len(bands) == 3:
            cells = np.dstack([band.ReadAsArray() for band in bands])
        else:
            cells = bands[0].ReadAsArray()
    if cells.ndim == 3 and gray_of_colour:
        cells = (cells.astype(np.uint16).sum(axis=2) // 3).astype(np.uint8)
    if cells.ndim != 2:
        raise QgsProcessingException(
            f"{what} '{path}' is a colour picture: give its 8-bit gray or palette raster")
    return cells


def _georeference(dem, layer):
    """(GDAL-order transform, CRS WKT) of the results' grid, or None when it has none."""
    if dem is not None:
        return (dem.transform, dem.crs or "") if dem.transform is not None else None
    if layer is None:
        return None
    from osgeo import gdal

    dataset = gdal.Open(_layer_file(layer))
    if dataset is None:
        return None
    transform = dataset.GetGeoTransform(can_return_null=True)
    return (transform, dataset.GetProjection()) if transform else None


# ---- writing ------------------------------------------------------------------------------

def _scratch_beside(path):
    """A new file beside `path` with its extension: the output is renamed into place only once
    complete, so a failed write never leaves half a file under the output's name."""
    directory, name = os.path.split(os.path.abspath(path))
    os.makedirs(directory, exist_ok=True)
    stem, extension = os.path.splitext(name)
    handle, scratch = tempfile.mkstemp(prefix=f".{stem}.", suffix=extension, dir=directory)
    os.close(handle)
    return scratch


def _write_raster(path, bands, georef, nodata=None, palette=None):
    from osgeo import gdal

    extension = os.path.splitext(path)[1]
    driver_name = QgsRasterFileWriter.driverForExtension(extension) or "GTiff"
    driver = gdal.GetDriverByName(driver_name)
    if driver is None:
        raise QgsProcessingException(f"no GDAL driver writes '{extension}' files")
    lines, columns = bands[0].shape
    data_type = gdal.GDT_Float32 if bands[0].dtype.kind == "f" else gdal.GDT_Byte
    memory = gdal.GetDriverByName("MEM").Create("", columns, lines, len(bands), data_type)
    if georef is not None:
        memory.SetGeoTransform(georef[0])
        if georef[1]:
            memory.SetProjection(georef[1])
    for k, cells in enumerate(bands, start=1):
        band = memory.GetRasterBand(k)
        band.WriteArray(cells)
        if nodata is not None:
            band.SetNoDataValue(nodata)
        if len(bands) == 3:
            band.SetColorInterpretation((gdal.GCI_RedBand, gdal.GCI_GreenBand, gdal.GCI_BlueBand)[k - 1])
    if palette is not None:
        table = gdal.ColorTable()
        for index, (red, green, blue) in enumerate(palette):
            table.SetColorEntry(index, (int(red), int(green), int(blue), 255))
        memory.GetRasterBand(1).SetRasterColorTable(table)
        memory.GetRasterBand(1).SetColorInterpretation(gdal.GCI_PaletteIndex)
    options = ["TILED=YES", "COMPRESS=DEFLATE"] if driver_name == "GTiff" else []
    scratch = _scratch_beside(path)
    try:
        written = driver.CreateCopy(scratch, memory, 0, options)
        if written is None:
            raise QgsProcessingException(f"cannot write '{path}': {gdal.GetLastErrorMsg()}")
        written.FlushCache()
        written = None
        os.replace(scratch, path)
        if os.path.exists(scratch + ".aux.xml"):
            os.replace(scratch + ".aux.xml", path + ".aux.xml")
    finally:
        for leftover in (scratch, scratch + ".aux.xml"):
            if os.path.exists(leftover):
                os.remove(leftover)


def _write_text(path, text):
    scratch = _scratch_beside(path)
    try:
        with open(scratch, "w", encoding="utf-8", newline="") as out:
            out.write(text)
        os.replace(scratch, path)
    finally:
        if os.path.exists(scratch):
            os.remove(scratch)
