#include "core/exchange/ilwis_export.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <limits>

#include "core/common/atomic_file.h"
#include "core/common/text_builder.h"

namespace orvane {

long long IlwisExportValue(double elevation, int unitDivisor) {
  const double truncated = std::trunc(elevation);
  const double bound = static_cast<double>(std::numeric_limits<long long>::max() / 2);
  const long long whole = static_cast<long long>(std::clamp(truncated, -bound, bound));
  return unitDivisor != 0 ? whole / unitDivisor : whole;
}

IlwisExportFiles BuildIlwisExport(const TDemModel& dem, const IlwisExportParams& params,
                                  ProgressSink* progress) {
  IlwisExportFiles files;
  const int lines = std::max(0, dem.lines);
  const int columns = std::max(0, dem.columns);
  files.data.resize(static_cast<std::size_t>(lines) * static_cast<std::size_t>(columns) * 8);
  long long lo = std::numeric_limits<long long>::max();
  long long hi = std::numeric_limits<long long>::min();
  ProgressScope scope(progress);
  char* out = files.data.data();
  for (int line = 0; line < lines; ++line) {
    for (int column = 0; column < columns; ++column) {
      const long long v = IlwisExportValue(dem.GetElevation(column, line), params.unitDivisor);
      lo = std::min(lo, v);
      hi = std::max(hi, v);
      const double stored = static_cast<double>(v);
      std::memcpy(out, &stored, 8);  // the platforms we build for are little-endian
      out += 8;
    }
    scope.Step(lines > 1 ? static_cast<double>(line) / (lines - 1) : 1.0);
  }
  if (lines == 0 || columns == 0) lo = hi = 0;
  files.minValue = lo;
  files.maxValue = hi;

  const std::string& name = params.name;
  TextBuilder grf;
  grf.Add("[Ilwis]\n");
  grf.Format("Description=GeoReference Corners \"%s\".gpr\n", name.c_str());
  grf.Add("Time=1043199058\nVersion=3.0\nClass=GeoReference Corners\nType=GeoRef\n\n");
  grf.Add("[GeoRef]\nCoordSystem=unknown.csy\n");
  grf.Format("Lines=%d\n", lines);
  grf.Format("Columns=%d\n", columns);
  grf.Add("Type=GeoRefCorners\n\n");
  grf.Add(
      "[GeoRefSmpl]\na11=0.040000\na12=0.000000\na21=0.000000\na22=-0.040000\n"
      "b1=-17999.500000\nb2=81600.500000\n\n");
  grf.Add("[GeoRefCorners]\nCornersOfCorners=Yes\n");
  grf.Format("MinX=%lf\nMinY=%lf\n", params.xMin, params.yMin);
  grf.Format("MaxX=%lf\nMaxY=%lf\n", params.xMax, params.yMax);
  files.georeference = grf.Crlf();

  TextBuilder dom;
  dom.Add(
      "[Ilwis]\nDescription=Default Value Domain\nType=Domain\nTime=824416653\n"
      "DataReadOnly=yes\nPropertiesReadOnly=yes\n\n[Domain]\nType=DomainValue\nWidth=12\n"
      "Representation=pseudo.rpr\n\n[DomainValue]\nType=DomainValueReal\n\n"
      "[DomainValueReal]\nMin=-9999999.9\nMax=9999999.9\nStep=0.1\n");
  files.domain = dom.Crlf();

  const long long p1 = lo - 10;
  const long long p2 = hi - 20;
  TextBuilder mpr;
  mpr.Add("[Ilwis]\n");
  mpr.Format("Description='%s'.mps\n", name.c_str());
  mpr.Add("Time=1044479186\nDataReadOnly=no\nPropertiesReadOnly=no\nType=BaseMap\n\n");
  mpr.Add("[BaseMap]\nCoordSystem=unknown.csy\n");
  mpr.Format("CoordBounds=%lf %lf %lf %lf\n", params.xMin, params.yMin, params.xMax, params.yMax);
  mpr.Add("Domain=value.dom\n");
  mpr.Add("DomainInfo=value.dom;Long:value;0;-9999999:9;9999999.9:0.1:offset=0;\n");
  mpr.Add("Range=-230.100:3239.100:0.000:offset=0;\n");
  mpr.Add("Type=Map\n");
  mpr.Format("MinMax=%lld:%lld\n", lo, hi);
  mpr.Format("Perc1=%lld:%lld\n\n", p1, p2);
  mpr.Add("[Map]\n");
  mpr.Format("GeoRef='%s'.grf\n", name.c_str());
  mpr.Format("Size=%d %d\n", lines, columns);
  mpr.Add("Type=MapVirtual\n");
  mpr.Format("MinMax=%lld:%lld\n", lo, hi);
  mpr.Format("Perc1=%lld:%lld\n\n", p1, p2);
  mpr.Add("[MapStore]\n");
  mpr.Format("Data='%s'.mp#\n", name.c_str());
  mpr.Add("Structure=Line\nStartOffset=0\n");
  mpr.Format("RowLength=%d\n", columns);
  mpr.Add("Type=real\n");
  files.map = mpr.Crlf();
  return files;
}

Expected<IlwisExportResult> ExportIlwis(const TDemModel& dem, const IlwisExportParams& params,
                                        ProgressSink* progress) {
  if (params.name.size() > 127) {
    return Error{kBadParameter, "The output name is longer than 127 characters"};
  }
  const IlwisExportFiles files = BuildIlwisExport(dem, params, progress);
  std::string base = params.folder;
  if (!base.empty() && base.back() != '/') base += '/';
  base += params.name;
  IlwisExportResult result;
  result.minValue = files.minValue;
  result.maxValue = files.maxValue;
  // The four files are one map: none is replaced unless all can be written.
  const std::vector<FileContents> outputs = {{base + ".mp#", files.data},
                                             {base + ".grf", files.georeference},
                                             {base + ".dom", files.domain},
                                             {base + ".mpr", files.map}};
  if (Status written = WriteFilesAtomically(outputs); !written) return written.error();
  for (const FileContents& output : outputs) result.files.push_back(output.path);
  return result;
}

}  // namespace orvane
