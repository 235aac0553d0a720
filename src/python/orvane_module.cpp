// orvane._orvane: the treatments of the core for Python. The module exposes the declarations
// as data (treatments()) and one generic run(); the package `orvane` (python/orvane) turns each
// declaration into its functions when it is imported, so new treatments need no code here.
#include <pybind11/numpy.h>
#include <pybind11/pybind11.h>
#include <pybind11/stl.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cmath>
#include <cstring>
#include <exception>
#include <limits>
#include <mutex>
#include <optional>
#include <thread>
#include <type_traits>

#include "core/exchange/dem_source.h"
#include "core/exchange/gdal_raster.h"
#include "core/settings/settings_file.h"
#include "core/terrain/elevation_unit.h"
#include "core/terrain/raster_file.h"
#include "core/terrain/raster_image.h"
#include "core/treatment/treatment.h"

namespace py = pybind11;

namespace orvane {
namespace {

// ---- errors --------------------------------------------------------------------------------

[[noreturn]] void Raise(const Error& error) {
  switch (error.code) {
    case kCancelled: PyErr_SetNone(PyExc_KeyboardInterrupt); throw py::error_already_set();
    case kAllocationFailed: PyErr_SetString(PyExc_MemoryError, error.message.c_str()); throw py::error_already_set();
    // A file that cannot be opened is an unreadable file, not a lack of memory.
    case kCannotOpen:
    case kWriteFailed:
    case kShortRead:
    case kOutsideOrShortRead: PyErr_SetString(PyExc_OSError, error.message.c_str()); throw py::error_already_set();
    default: throw py::value_error(error.message);
  }
}

// ---- Ctrl+C ---------------------------------------------------------------------------------

class CancelFlag : public ProgressSink {
 public:
  void Step(double fraction) override { fraction_.store(fraction, std::memory_order_relaxed); }
  bool Cancelled() const override { return cancelled_.load(std::memory_order_relaxed); }
  void Cancel() { cancelled_.store(true, std::memory_order_relaxed); }
  double Fraction() const { return fraction_.load(std::memory_order_relaxed); }

 private:
  std::atomic<bool> cancelled_{false};
  std::atomic<double> fraction_{0.0};
};

// Runs work(sink) on a thread of its own with the GIL released. The calling thread wakes every
// 100 ms, takes the GIL and lets Python run its signal handlers: a KeyboardInterrupt (or any
// exception a handler raises) cancels the work, which stops at its next poll, and is raised
// once the work has returned. Only the main thread sees signals; elsewhere (Dask's workers)
// the wait simply lasts until the work is done. `progress`, when not None, is called at each
// wake with the fraction done (0 to 1); an exception it raises cancels the work the same way
// (how a host application without signals, a QGIS task for one, stops a run).
template <class Work>
auto RunInterruptible(Work work, const py::object& progress = py::none())
    -> decltype(work(static_cast<ProgressSink*>(nullptr))) {
  using Result = decltype(work(static_cast<ProgressSink*>(nullptr)));
  CancelFlag sink;
  std::optional<Result> result;
  std::exception_ptr failure;
  std::mutex mutex;
  std::condition_variable finished;
  bool done = false;
  PyObject *type = nullptr, *value = nullptr, *traceback = nullptr;
  {
    py::gil_scoped_release release;
    std::thread worker([&] {
      try {
        result.emplace(work(&sink));
      } catch (...) {
        failure = std::current_exception();
      }
      std::lock_guard<std::mutex> lock(mutex);
      done = true;
      finished.notify_all();
    });
    std::unique_lock<std::mutex> lock(mutex);
    while (!finished.wait_for(lock, std::chrono::milliseconds(100), [&] { return done; })) {
      if (type) continue;  // already interrupted: wait for the work to stop
      lock.unlock();
      {
        py::gil_scoped_acquire acquire;
        if (PyErr_CheckSignals() != 0) {
          PyErr_Fetch(&type, &value, &traceback);
          sink.Cancel();
        } else if (!progress.is_none()) {
          try {
            progress(sink.Fraction());
          } catch (py::error_already_set& raised) {
            raised.restore();
            PyErr_Fetch(&type, &value, &traceback);
            sink.Cancel();
          }
        }
      }
      lock.lock();
    }
    lock.unlock();
    worker.join();
  }
  if (type) {
    PyErr_Restore(type, value, traceback);
    throw py::error_already_set();
  }
  if (failure) std::rethrow_exception(failure);  // pybind11 turns bad_alloc into MemoryError
  return std::move(*result);
}

// ---- arrays in ------------------------------------------------------------------------------

std::string Number(double value) {
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, "%.10g", value);
  return buffer;
}

std::string Where(py::ssize_t line, py::ssize_t column) {
  return " at line " + std::to_string(line) + ", column " + std::to_string(column);
}

// Integers are elevations in the unit as stored; reals are metres converted as the GDAL import
// converts them (times U, truncated toward zero unless within the source's precision of a
// whole number), NaN marking cells without a value.
template <class T>
void ConvertCells(const py::array& array, int unitFactor, DemGrid& grid) {
  auto typed = py::array_t<T>::ensure(array);
  auto view = typed.template unchecked<2>();
  const py::ssize_t lines = view.shape(0), columns = view.shape(1);
  grid.values.resize(static_cast<std::size_t>(lines * columns));
  if constexpr (std::is_floating_point_v<T>) grid.valid.assign(grid.values.size(), 1);
  const double precision = ElevationPrecision(std::is_same_v<T, float>);
  std::string error;
  {
    py::gil_scoped_release release;
    for (py::ssize_t l = 0; l < lines && error.empty(); ++l) {
      std::int32_t* row = grid.values.data() + l * columns;
      for (py::ssize_t c = 0; c < columns; ++c) {
        const T cell = view(l, c);
        if constexpr (std::is_floating_point_v<T>) {
          if (std::isnan(cell)) {
            grid.valid[static_cast<std::size_t>(l * columns + c)] = 0;
            row[c] = 0;
            continue;
          }
          if (!ToStoredElevation(static_cast<double>(cell) * unitFactor, precision, row[c])) {
            error = "the array holds the elevation " + Number(static_cast<double>(cell)) +
                    Where(l, c) + ": beyond the 32-bit range in units of 1/" +
                    std::to_string(unitFactor) + " m (choose a coarser unit)";
            break;
          }
        } else {
          if (std::cmp_less(cell, std::numeric_limits<std::int32_t>::min()) ||
              std::cmp_greater(cell, std::numeric_limits<std::int32_t>::max())) {
            error = "the array holds the value " + std::to_string(cell) + Where(l, c) +
                    ": beyond the signed 32-bit range of stored elevations";
            break;
          }
          row[c] = static_cast<std::int32_t>(cell);
        }
      }
    }
  }
  if (!error.empty()) throw py::value_error(error);
}

// The lowest and highest of the cells of a real array that hold a number (NaN are holes).
template <class T>
std::pair<double, double> RealRange(const py::array& array) {
  auto typed = py::array_t<T>::ensure(array);
  auto view = typed.template unchecked<2>();
  double lowest = std::numeric_limits<double>::infinity(), highest = -lowest;
  py::gil_scoped_release release;
  for (py::ssize_t l = 0; l < view.shape(0); ++l)
    for (py::ssize_t c = 0; c < view.shape(1); ++c) {
      const double v = static_cast<double>(view(l, c));
      if (std::isnan(v)) continue;
      lowest = std::min(lowest, v);
      highest = std::max(highest, v);
    }
  return {lowest, highest};
}

// `unit` empty: metres for integers, and for reals the finest unit their range fits in (they
// keep their precision: millimetres for any terrain). `valid`, when not None, marks the cells
// that hold an elevation (non-zero), as NaN does in a real array.
OpenedDem OpenArray(const py::array& array, double pixelWidth, double pixelHeight,
                    std::string unit, const py::object& valid = py::none()) {
  if (array.ndim() != 2)
    throw py::value_error("the elevations must be a 2-D array (lines x columns), not " +
                          std::to_string(array.ndim()) + "-D");
  DemGrid grid;
  grid.lines = static_cast<int>(std::min<py::ssize_t>(array.shape(0), std::numeric_limits<int>::max()));
  grid.columns = static_cast<int>(std::min<py::ssize_t>(array.shape(1), std::numeric_limits<int>::max()));
  const char kind = array.dtype().kind();
  const int size = static_cast<int>(array.itemsize());
  if (unit.empty() && kind == 'f') {
    const auto [lowest, highest] = size <= 4 ? RealRange<float>(array) : RealRange<double>(array);
    unit = lowest <= highest ? UnitNameOf(FinestUnitFactor(lowest, highest)) : "m";
  }
  if (unit.empty()) unit = "m";
  grid.unit = unit;
  grid.pixelWidthMetres = pixelWidth;
  grid.pixelHeightMetres = pixelHeight;
  const int unitFactor = UnitFactorOf(unit);
  if (unitFactor == 0) throw py::value_error("--unit: '" + unit + "' is not one of m, dm, cm, mm");
  if (Status s = CheckDemSize(grid.lines, grid.columns, "the array"); !s) Raise(s.error());
  if (kind == 'i') {
    if (size == 1) ConvertCells<std::int8_t>(array, unitFactor, grid);
    else if (size == 2) ConvertCells<std::int16_t>(array, unitFactor, grid);
    else if (size == 4) ConvertCells<std::int32_t>(array, unitFactor, grid);
    else ConvertCells<std::int64_t>(array, unitFactor, grid);
  } else if (kind == 'u') {
    if (size == 1) ConvertCells<std::uint8_t>(array, unitFactor, grid);
    else if (size == 2) ConvertCells<std::uint16_t>(array, unitFactor, grid);
    else if (size == 4) ConvertCells<std::uint32_t>(array, unitFactor, grid);
    else ConvertCells<std::uint64_t>(array, unitFactor, grid);
  } else if (kind == 'f') {
    // Half floats widen exactly to 32-bit floats; longer reals are read as doubles.
    if (size <= 4) ConvertCells<float>(array, unitFactor, grid);
    else ConvertCells<double>(array, unitFactor, grid);
  } else {
    throw py::value_error("the elevations must be integers or reals, not dtype " +
                          std::string(py::str(array.dtype())));
  }
  if (!valid.is_none()) {
    auto mask = py::array_t<std::uint8_t, py::array::c_style | py::array::forcecast>::ensure(valid);
    if (!mask || mask.ndim() != 2 || mask.shape(0) != grid.lines || mask.shape(1) != grid.columns)
      throw py::value_error("valid must be a 2-D array of the elevations' shape");
    if (grid.valid.empty()) grid.valid.assign(grid.values.size(), 1);
    const std::uint8_t* cells = mask.data();
    for (std::size_t k = 0; k < grid.valid.size(); ++k)
      if (!cells[k]) grid.valid[k] = 0;
  }
  auto opened = OpenDemGrid(std::move(grid), "the array");
  if (!opened) Raise(opened.error());
  return std::move(*opened);
}

// A drainage network or parameter image: 8-bit values, one per cell.
std::unique_ptr<TRasterImage> RasterFromArray(const py::array& array, const char* name) {
  if (array.ndim() != 2)
    throw py::value_error(std::string(name) + " must be a 2-D array, not " +
                          std::to_string(array.ndim()) + "-D");
  auto bytes = py::array_t<std::uint8_t, py::array::c_style | py::array::forcecast>::ensure(array);
  if (!bytes) throw py::value_error(std::string(name) + " must hold values 0..255");
  const int lines = static_cast<int>(bytes.shape(0)), columns = static_cast<int>(bytes.shape(1));
  if (lines < 1 || columns < 1) throw py::value_error(std::string(name) + " is empty");
  auto raster = std::make_unique<TRasterImage>(columns, lines, kRasterGray);
  if (raster->allocError) throw std::bad_alloc();
  for (int l = 0; l < lines; ++l)
    std::memcpy(raster->Row(l), bytes.data(l, 0), static_cast<std::size_t>(columns));
  return raster;
}

// ---- arrays out -----------------------------------------------------------------------------

// The grid's storage handed to numpy without a copy.
template <class T>
py::array_t<T> Adopt(std::vector<T>&& data, std::vector<py::ssize_t> shape) {
  auto* owned = new std::vector<T>(std::move(data));
  py::capsule release(owned, [](void* p) { delete static_cast<std::vector<T>*>(p); });
  return py::array_t<T>(std::move(shape), owned->data(), release);
}

py::array PictureArray(const TRasterImage& picture) {
  const int bytesPerPixel = picture.BytesPerPixel();
  std::vector<std::uint8_t> pixels(static_cast<std::size_t>(picture.lines) * picture.RowBytes());
  for (int l = 0; l < picture.lines; ++l) {
    std::uint8_t* out = pixels.data() + static_cast<std::size_t>(l) * picture.RowBytes();
    std::memcpy(out, picture.Row(l), picture.RowBytes());
    if (bytesPerPixel == 3)  // stored blue, green, red
      for (int c = 0; c < picture.columns; ++c) std::swap(out[3 * c], out[3 * c + 2]);
  }
  if (bytesPerPixel == 3) return Adopt(std::move(pixels), {picture.lines, picture.columns, 3});
  return Adopt(std::move(pixels), {picture.lines, picture.columns});
}

py::object FigureValue(const Figure& figure) {
  return std::visit([](const auto& v) -> py::object { return py::cast(v); }, figure.value);
}

// ---- declarations as data -------------------------------------------------------------------

const char* TypeName(ParamType type) {
  switch (type) {
    case ParamType::kInteger: return "int";
    case ParamType::kReal: return "float";
    case ParamType::kFlag: return "flag";
    case ParamType::kChoice: return "choice";
    case ParamType::kText: return "text";
  }
  return "text";
}

py::object Optional(const std::optional<double>& value) {
  return value ? py::object(py::float_(*value)) : py::object(py::none());
}

py::dict ParamData(const ParamDeclaration& declared) {
  py::dict d;
  d["name"] = declared.name;
  d["type"] = TypeName(declared.type);
  d["help"] = declared.help;
  d["unit"] = declared.unit;
  d["required"] = declared.required;
  d["minimum"] = Optional(declared.minimum);
  d["maximum"] = Optional(declared.maximum);
  d["positive"] = declared.positive;
  d["allowed"] = declared.allowed;
  py::list choices;
  for (const ParamChoice& choice : declared.choices)
    choices.append(py::make_tuple(choice.name, choice.value, choice.label));
  d["choices"] = choices;
  d["default"] = declared.defaultText.empty() ? py::object(py::none()) : py::object(py::str(declared.defaultText));
  return d;
}

py::list TreatmentsData() {
  py::list list;
  for (const TreatmentDescriptor* t : AllTreatments()) {
    py::dict d;
    d["id"] = t->id;
    d["title"] = t->title;
    d["menu"] = t->menu;
    d["summary"] = t->summary;
    d["dem"] = (t->inputs & kInputDem) != 0;
    d["drainage"] = (t->inputs & kInputDrainage) != 0;
    d["param"] = (t->inputs & kInputParam) != 0;
    py::list params;
    for (const ParamDeclaration& declared : t->params) params.append(ParamData(declared));
    d["params"] = params;
    d["picture"] = t->Gives(kOutputPicture);
    d["values"] = t->Gives(kOutputValues);
    d["figures"] = t->Gives(kOutputFigures);
    d["histogram"] = t->Gives(kOutputHistogram);
    d["value_name"] = t->valueName;
    d["value_unit"] = t->valueUnit;
    d["value_nodata"] = t->valueNoData;
    d["nodata_rule"] = t->noDataRule;
    d["colour_picture"] = t->colourPicture;
    d["picture_on_dem_grid"] = t->pictureOnDemGrid;
    d["not_local_reason"] = t->notLocalReason;
    d["examples"] = t->examples;
    list.append(d);
  }
  return list;
}

const TreatmentDescriptor& Find(const std::string& id) {
  const TreatmentDescriptor* t = FindTreatment(id);
  if (!t) throw py::value_error("no treatment '" + id + "'");
  return *t;
}

// Python keyword values by option name: numbers, booleans for flags, choice names (or the
// integer a choice is named by, table=2), texts.
TreatmentArgs ArgsFrom(const TreatmentDescriptor& t, const py::dict& params) {
  TreatmentArgs args;
  for (const auto& [key, value] : params) {
    const std::string name = py::str(key);
    const ParamDeclaration* declared = t.Param(name);
    if (!declared) throw py::value_error(t.id + " has no parameter '" + name + "'");
    if (value.is_none()) continue;
    switch (declared->type) {
      case ParamType::kFlag: args.Set(name, py::bool_(py::reinterpret_borrow<py::object>(value)) ? 1.0 : 0.0); break;
      case ParamType::kChoice:
      case ParamType::kText:
        args.SetText(name, py::str(value));
        break;
      case ParamType::kInteger:
      case ParamType::kReal:
        if (py::isinstance<py::str>(value) || py::isinstance<py::bool_>(value) ||
            !py::hasattr(value, "__float__"))
          throw py::value_error("--" + name + ": '" + std::string(py::str(value)) + "' is not a number");
        args.Set(name, value.cast<double>());
        break;
    }
  }
  if (Status s = CompleteArgs(t, args); !s) Raise(s.error());
  return args;
}

py::object Halo(const std::string& id, const py::dict& params) {
  const TreatmentDescriptor& t = Find(id);
  TreatmentArgs args = ArgsFrom(t, params);
  const std::optional<int> halo = t.halo ? t.halo(args) : std::nullopt;
  return halo ? py::object(py::int_(*halo)) : py::object(py::none());
}

// ---- running ----------------------------------------------------------------------------------

py::dict Run(const std::string& id, const py::object& elevations, double pixelWidth,
             double pixelHeight, const std::string& unit, const py::dict& params,
             const py::object& drainage, const py::object& param, bool wantValues,
             bool wantPicture, const py::object& valid, bool wantHistogram,
             const py::object& progress) {
  const TreatmentDescriptor& t = Find(id);
  TreatmentArgs args = ArgsFrom(t, params);
  std::unique_ptr<TRasterImage> drainageRaster, paramRaster;
  if (t.inputs & kInputDrainage) {
    if (drainage.is_none()) throw py::value_error(id + " needs drainage= (the drainage network raster)");
    drainageRaster = RasterFromArray(drainage.cast<py::array>(), "drainage");
  }
  if (t.inputs & kInputParam) {
    if (param.is_none()) throw py::value_error(id + " needs param= (the parameter image)");
    paramRaster = RasterFromArray(param.cast<py::array>(), "param");
  }
  // A treatment of rasters alone (a drainage network, a parameter image) needs no elevations.
  std::optional<OpenedDem> dem;
  py::list warnings;
  if ((t.inputs & kInputDem) || !elevations.is_none()) {
    if (elevations.is_none()) throw py::value_error(id + " needs the elevations");
    dem = OpenArray(elevations.cast<py::array>(), pixelWidth, pixelHeight, unit, valid);
    for (const std::string& w : dem->warnings) warnings.append(w);
  }

  unsigned wanted = kOutputFigures;
  if (wantValues && t.Gives(kOutputValues)) wanted |= kOutputValues;
  if (wantPicture && t.Gives(kOutputPicture)) wanted |= kOutputPicture;
  // Without values to give, the picture is what the run is for.
  if (!t.Gives(kOutputValues) && t.Gives(kOutputPicture)) wanted |= kOutputPicture;
  if (wantHistogram && t.Gives(kOutputHistogram)) wanted |= kOutputHistogram;
  const TSettings settings;
  TreatmentInputs inputs;
  inputs.drainage = drainageRaster.get();
  inputs.param = paramRaster.get();
  inputs.settings = &settings;
  if (dem) {
    inputs.dem = dem->model.get();
    inputs.unitFactor = dem->unitFactor;
    inputs.pixelMetres = dem->pixelMetres;
    inputs.wholeMetres = dem->wholeMetres;
  }
  auto output = RunInterruptible(
      [&](ProgressSink* sink) { return t.run(inputs, args, wanted, sink); }, progress);
  if (!output) Raise(output.error());

  py::dict result;
  for (const std::string& w : output->warnings) warnings.append(w);
  result["warnings"] = warnings;
  result["unit"] = dem ? py::object(py::str(dem->unitName)) : py::object(py::none());
  result["values"] = py::none();
  result["value_unit"] = py::none();
  if (output->values) {
    ValueGrid& grid = *output->values;
    result["value_unit"] = grid.unit;
    result["values"] = Adopt(std::move(grid.values), {grid.lines, grid.columns});
  }
  result["picture"] = py::none();
  result["picture_kind"] = py::none();
  result["palette"] = py::none();
  if ((wanted & kOutputPicture) && output->picture && output->picture->IsAllocated()) {
    const TRasterImage& picture = *output->picture;
    result["picture"] = PictureArray(picture);
    result["picture_kind"] = picture.kind == kRasterGray      ? "gray"
                             : picture.kind == kRasterPalette ? "palette"
                                                              : "rgb";
    if (picture.kind == kRasterPalette) {
      std::vector<std::uint8_t> rgb(256 * 3);
      for (int i = 0; i < 256; ++i) {
        rgb[3 * i] = picture.palette[i][2];
        rgb[3 * i + 1] = picture.palette[i][1];
        rgb[3 * i + 2] = picture.palette[i][0];
      }
      result["palette"] = Adopt(std::move(rgb), {256, 3});
    }
  }
  py::dict figures;
  for (const Figure& figure : output->figures) figures[py::str(figure.key)] = FigureValue(figure);
  result["figures"] = figures;
  result["histogram"] = (wanted & kOutputHistogram) ? py::object(py::str(output->histogram)) : py::object(py::none());
  return result;
}

// ---- files ------------------------------------------------------------------------------------

py::dict ReadDem(const std::string& path, double pixel, const std::string& unit, int bytes,
                 int lines, int columns) {
  DemSource source;
  source.path = path;
  source.pixel = pixel;
  source.unit = unit;
  source.bytes = bytes;
  source.lines = lines;
  source.columns = columns;
  auto opened = RunInterruptible([&](ProgressSink* sink) { return OpenDemSource(source, sink); });
  if (!opened) Raise(opened.error());
  const TDemModel& model = *opened->model;
  std::vector<std::int32_t> values(static_cast<std::size_t>(model.lines) * model.columns);
  for (int l = 0; l < model.lines; ++l)
    std::memcpy(values.data() + static_cast<std::size_t>(l) * model.columns, model.Int32Row(l),
                static_cast<std::size_t>(model.columns) * 4);
  py::dict d;
  d["elevations"] = Adopt(std::move(values), {model.lines, model.columns});
  // The cells that hold an elevation (1) and the NoData ones (0); None when every cell does.
  d["valid"] = model.HasNoData()
                   ? py::object(Adopt(std::vector<std::uint8_t>(model.Validity()), {model.lines, model.columns}))
                   : py::object(py::none());
  d["unit"] = opened->unitName;
  d["pixel"] = opened->pixelMetres;
  d["pixel_width"] = opened->pixelWidthMetres;
  d["pixel_height"] = opened->pixelHeightMetres;
  d["transform"] = py::none();
  d["crs_wkt"] = py::none();
  if (opened->georef) {
    d["transform"] = py::tuple(py::cast(opened->georef->transform));
    d["crs_wkt"] = opened->georef->crsWkt.empty() ? py::object(py::none())
                                                  : py::object(py::str(opened->georef->crsWkt));
  }
  d["warnings"] = opened->warnings;
  return d;
}

py::dict ReadRaster(const std::string& path) {
  std::int64_t missing = 0;
  auto raster = LoadRasterFile(path, &missing);
  if (!raster) Raise(raster.error());
  py::dict d;
  d["picture"] = PictureArray(**raster);
  d["kind"] = (*raster)->kind == kRasterGray ? "gray" : (*raster)->kind == kRasterPalette ? "palette" : "rgb";
  d["missing_bytes"] = missing;
  return d;
}

py::dict GroundCellSize(const std::string& crs, std::array<double, 6> transform, int lines,
                        int columns) {
  GeoReference georef;
  georef.crsWkt = crs;
  georef.transform = transform;
  georef.lines = lines;
  georef.columns = columns;
  if (transform[2] != 0.0 || transform[4] != 0.0)
    throw py::value_error("the grid is rotated (its transform has rotation terms): warp it to a north-up grid first");
  // North-up with any sign of the line step, as the import turns south-up rasters over.
  georef.transform[1] = std::fabs(transform[1]);
  georef.transform[5] = -std::fabs(transform[5]);
  if (transform[5] > 0.0) georef.transform[3] = transform[3] + lines * transform[5];
  const GdalRasterInfo info = DescribeGeoReference(georef);
  // A size in unknown units is refused: taken as metres it would make every slope near 90.
  if (!info.projected && !info.geographic) {
    std::string why = info.warnings.empty() ? "GDAL does not recognise its coordinate reference "
                                              "system as projected or geographic"
                                            : info.warnings.front();
    throw py::value_error("the cell size in metres is unknown (" + why +
                          "): give pixel= (metres, a number or (width, height))");
  }
  py::dict d;
  d["width"] = info.pixelWidthMetres;
  d["height"] = info.pixelHeightMetres;
  d["pixel"] = info.pixelSizeMetres;
  d["projected"] = info.projected;
  d["geographic"] = info.geographic;
  d["central_latitude"] = info.centralLatitude;
  return d;
}

}  // namespace
}  // namespace orvane

PYBIND11_MODULE(_orvane, m) {
  using namespace orvane;
  m.doc() = "ORVANE's treatments (the package orvane builds its functions from these)";
  m.attr("__version__") = ORVANE_VERSION;
  m.def("treatments", &TreatmentsData, "Every declared treatment as a dict, in the CLI's order");
  m.def("halo", &Halo, py::arg("id"), py::arg("params"),
        "The halo (cells) a block needs for these parameters, or None when not local");
  m.def("run", &Run, py::arg("id"), py::arg("elevations"), py::arg("pixel_width"),
        py::arg("pixel_height"), py::arg("unit"), py::arg("params"), py::arg("drainage") = py::none(),
        py::arg("param") = py::none(), py::arg("values") = true, py::arg("picture") = false,
        py::arg("valid") = py::none(), py::arg("histogram") = true,
        py::arg("progress") = py::none(),
        "Runs treatment `id` on a 2-D array (None for a treatment of rasters alone; unit '': "
        "metres, or for reals the finest unit their range fits in); returns a dict of the "
        "outputs. progress(fraction) is called as it runs; raising cancels it.");
  m.def("finest_unit", [](double lowest, double highest) { return std::string(UnitNameOf(FinestUnitFactor(lowest, highest))); },
        py::arg("lowest"), py::arg("highest"),
        "The finest vertical unit (m, dm, cm, mm, 0.1mm) in which elevations from lowest to highest metres fit");
  m.def("raster_unit",
        [](const std::string& path) {
          Expected<int> factor = [&] {
            py::gil_scoped_release free;
            return ChosenGdalUnitFactor(path);
          }();
          if (!factor) Raise(factor.error());
          return std::string(UnitNameOf(*factor));
        },
        py::arg("path"),
        "The vertical unit orvane-cli reads a GDAL raster in: m for whole numbers, else the "
        "finest unit the range of its valid cells (after scale and offset) fits in");
  m.def("read_dem", &ReadDem, py::arg("path"), py::arg("pixel") = 0.0, py::arg("unit") = "m",
        py::arg("bytes") = 0, py::arg("lines") = 0, py::arg("columns") = 0,
        "Opens a DEM file as orvane-cli --dem does");
  m.def("read_raster", &ReadRaster, py::arg("path"), "Reads a .bmp or .raw raster");
  m.def("ground_cell_size", &GroundCellSize, py::arg("crs"), py::arg("transform"),
        py::arg("lines"), py::arg("columns"),
        "Cell width and height in metres of a grid placed by a GDAL-order transform in `crs`");
}
