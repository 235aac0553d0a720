#include "app/shell/session.h"

#include <QFileInfo>

#include "app/shell/text_values.h"
#include "core/terrain/dem_file.h"

namespace orvane {

TSession::TSession(QObject* parent) : QObject(parent) {}

void TSession::SetDemScale(int unitFactor, const QString& pixelSizeText) {
  unitFactor_ = unitFactor;
  pixelSizeText_ = pixelSizeText;
  pixelSize_ = LeadingInt(pixelSizeText);  // as the dialog reads its field
}

std::shared_ptr<TViewState> TSession::PushViewState(std::shared_ptr<TDemModel> dem,
                                                    std::shared_ptr<TRasterImage> raster) {
  return viewStates_.Push(std::move(dem), std::move(raster));
}

void TSession::OpenDem(std::shared_ptr<TDemModel> dem, std::shared_ptr<TRasterImage> relief,
                       const QString& path) {
  viewStates_.Replace(std::move(dem), relief);
  openingRelief_ = std::move(relief);
  demPath_ = path;
}

void TSession::SetParameterImage(std::shared_ptr<TRasterImage> raster, orvane::DisplayMode mode,
                                 int margin) {
  parameterImage_ = std::move(raster);
  displayMode_ = mode;
  margin_ = margin;
}

void TSession::SetResultValues(TResultValues values) {
  resultValues_ = std::move(values);
  if (resultValues_.wrapped) resultValues_.wrappedPicture = DisplayedRaster();
  emit ResultValuesChanged();
}

void TSession::SetDiagramKind(orvane::DiagramKind kind) {
  diagramKind_ = kind;
  emit DiagramKindChanged();
}

bool TSession::NetworkMatchesDemSize() const {
  const TDemModel* dem = CurrentDem();
  return !dem || !drainageRaster_ ||
         (dem->columns == drainageRaster_->columns && dem->lines == drainageRaster_->lines);
}

void TSession::SetOpenedRasterPath(const QString& path) {
  demDirectory_ = QFileInfo(path).absolutePath();
}

QString TSession::WorkDirectory() const {
  if (!workDirectory_.isEmpty()) return workDirectory_;
  const QString fromEnvironment = qEnvironmentVariable("ORVANE_WORKDIR");
  if (!fromEnvironment.isEmpty()) return fromEnvironment;
  return QString::fromStdString(DefaultWorkDirectory());
}

}  // namespace orvane
