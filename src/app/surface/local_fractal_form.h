// TLocalFractalDialog (" LOCAL FRACTAL DIMENSION"): the moving window size (12 or 24) and the
// adaptive factor H of the local fractal dimension.
#pragma once

#include <QDialog>
#include <QString>
#include <cstdint>

class QLineEdit;
namespace orvane {

class TDeclaredRadios;

class TLocalFractalDialog : public QDialog {
  Q_OBJECT

 public:
  explicit TLocalFractalDialog(QWidget* parent = nullptr);

  // The declared 12 or 24. A dialog closed before any choice keeps the checked 12.
  int WindowSize() const;
  // Leading decimal number of "float value"; 0 when empty.
  double FactorH() const;
  // Whether "float value" holds a whole decimal number (not empty, not just a sign).
  bool HasFactorH() const;
  static constexpr const char* kNoFactorH = "Give the adaptive factor H as a decimal number";

  // The height step P x H is compared with the DEM's relief (its highest less its lowest
  // elevation, in whole metres): a step above it makes every window flat.
  void SetRelief(std::int64_t reliefMetres, int pixelSize);
  // Why the values cannot be computed (H missing, not above 0, a step above the relief);
  // empty when they can.
  QString Refusal() const;

  // The controls as a user works them (also used by the tests).
  void ClickSize(int size);
  void SetHText(const QString& text);
  // Refuses what Refusal names, the dialog staying open on H; else accepts.
  void OkClick();

 private:
  TDeclaredRadios* size_ = nullptr;
  QLineEdit* hEdit_ = nullptr;
  std::int64_t relief_ = -1;  // -1: unknown
  int pixelSize_ = 0;
};

}  // namespace orvane
