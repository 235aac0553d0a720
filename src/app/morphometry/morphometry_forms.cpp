#include "app/morphometry/morphometry_forms.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPalette>
#include <QVBoxLayout>
#include <array>
#include <cmath>

#include "app/display/diagram_forms.h"
#include "app/shell/declared_fields.h"
#include "app/shell/form_kit.h"
#include "app/shell/form_parts.h"
#include "app/shell/result_placement_box.h"
#include "core/treatment/treatment_registry.h"

namespace orvane {

namespace {

// The pictured network: 32 x 32 cells, a stem and three branches.
constexpr int kPictureCells = 32;

const std::array<std::array<bool, kPictureCells>, kPictureCells>& PictureNetwork() {
  static const auto cells = [] {
    std::array<std::array<bool, kPictureCells>, kPictureCells> grid{};
    auto line = [&grid](int x0, int y0, int x1, int y1) {
      const int steps = std::max(std::abs(x1 - x0), std::abs(y1 - y0));
      for (int i = 0; i <= steps; ++i) {
        const int x = x0 + (x1 - x0) * i / std::max(1, steps);
        const int y = y0 + (y1 - y0) * i / std::max(1, steps);
        grid[static_cast<std::size_t>(y)][static_cast<std::size_t>(x)] = true;
      }
    };
    line(1, 30, 12, 20);
    line(12, 20, 18, 9);
    line(18, 9, 30, 2);
    line(12, 20, 26, 24);
    line(18, 9, 10, 3);
    line(22, 22, 29, 14);
    return grid;
  }();
  return cells;
}

}  // namespace

TDrainageFractalDialog& DrainageFractalDialogOf(QWidget& frame) { return FrameChild<TDrainageFractalDialog>(frame); }
TRatioOfDepthsDialog& RatioOfDepthsDialogOf(QWidget& frame) { return FrameChild<TRatioOfDepthsDialog>(frame); }

// --- TDrainageFractalDialog --------------------------------------------------------------------

TDrainageFractalDialog::TDrainageFractalDialog(QWidget* parent)
    : TTreatmentDialog("FractDrainageForm", " DRAINAGE NETWORK FRACTAL", parent) {
  auto* groups = new QHBoxLayout;
  groups->addWidget(DeclaredRadioGroup("Moving Window Size", DeclaredParam(kDrainageFractalTreatment, "window"),
                                       {"RadioButton1", "RadioButton2"}, size_));
  groups->addWidget(DeclaredRadioGroup("Dynamic Scale", DeclaredParam(kDrainageFractalTreatment, "scale"),
                                       {"RadioButton3", "RadioButton4"}, scale_));
  AddPlacement({"Resulting Image", "RadioButton5", "RadioButton6"}, groups);
  Column().addLayout(groups);
  Column().addWidget(OkButton(*this, "BitBtn1"), 0, Qt::AlignHCenter);
}

int TDrainageFractalDialog::WindowSize() const { return size_->Value(); }
int TDrainageFractalDialog::DynamicScale() const { return scale_->Value(); }

// --- The explanation of the box counting ----------------------------------------------------

namespace {

// Whether the box of `size` cells from (bx, by) holds network.
bool BoxFilled(int bx, int by, int size) {
  const auto& cells = PictureNetwork();
  for (int y = by; y < by + size; ++y)
    for (int x = bx; x < bx + size; ++x)
      if (cells[static_cast<std::size_t>(y)][static_cast<std::size_t>(x)]) return true;
  return false;
}

// The pictured network covered by boxes of 1, 2, 4, 8 and 16 pixels with their counts, and the
// log-log plot of the counts.
void DrawBoxCounting(QPainter& painter) {
  painter.fillRect(painter.window(), QPalette().window());
  const auto& cells = PictureNetwork();
  constexpr int kCell = 2;
  constexpr int kPanel = kPictureCells * kCell;
  const int sizes[5] = {1, 2, 4, 8, 16};
  double xs[5], ys[5];
  for (int k = 0; k < 5; ++k) {
    const int s = sizes[k];
    const int left = 8 + k * (kPanel + 12);
    const int top = 20;
    painter.setPen(Qt::black);
    painter.drawText(left, 14, QString("q = %1").arg(s));
    // Filled boxes first, then the network over them.
    for (int by = 0; by < kPictureCells; by += s) {
      for (int bx = 0; bx < kPictureCells; bx += s) {
        const QRect box(left + bx * kCell, top + by * kCell, s * kCell, s * kCell);
        if (BoxFilled(bx, by, s)) painter.fillRect(box, QColor(255, 220, 120));
        if (s > 1) {
          painter.setPen(QColor(160, 160, 160));
          painter.drawRect(box);
        }
      }
    }
    for (int y = 0; y < kPictureCells; ++y) {
      for (int x = 0; x < kPictureCells; ++x) {
        if (cells[static_cast<std::size_t>(y)][static_cast<std::size_t>(x)]) {
          painter.fillRect(left + x * kCell, top + y * kCell, kCell, kCell, Qt::blue);
        }
      }
    }
    painter.setPen(Qt::black);
    painter.drawRect(left, top, kPanel, kPanel);
    const int n = FilledBoxes(s);
    painter.drawText(left, top + kPanel + 16, QString("Ns = %1").arg(n));
    xs[k] = std::log(static_cast<double>(s));
    ys[k] = std::log(static_cast<double>(n));
  }
  // The log-log plot: ln(Ns) against ln(q), falling with slope -D.
  const QRect plot(8, 130, 200, 110);
  painter.setPen(Qt::black);
  painter.drawLine(plot.bottomLeft(), plot.bottomRight());
  painter.drawLine(plot.bottomLeft(), plot.topLeft());
  painter.drawText(plot.right() - 30, plot.bottom() - 4, "ln(q)");
  painter.drawText(plot.left() + 4, plot.top() + 12, "ln(Ns)");
  const double xMax = std::log(16.0) * 1.1;
  const double yMax = ys[0] * 1.1;
  QPoint previous;
  for (int k = 0; k < 5; ++k) {
    const QPoint p(plot.left() + static_cast<int>(xs[k] / xMax * plot.width()),
                   plot.bottom() - static_cast<int>(ys[k] / yMax * plot.height()));
    painter.setBrush(Qt::blue);
    painter.drawEllipse(p, 3, 3);
    if (k > 0) painter.drawLine(previous, p);
    previous = p;
  }
}

}  // namespace

int FilledBoxes(int size) {
  int filled = 0;
  for (int by = 0; by < kPictureCells; by += size)
    for (int bx = 0; bx < kPictureCells; bx += size) filled += BoxFilled(bx, by, size) ? 1 : 0;
  return filled;
}

QDialog* MakeDrainageFractalInfoForm(QWidget* parent) {
  auto* dialog = new QDialog(parent);
  dialog->setObjectName("InfoFractDimRiverForm");
  dialog->setWindowTitle(" FRACTAL DIMENSION COMPUTATION");
  auto* layout = new QVBoxLayout(dialog);
  layout->addWidget(BoldLabel("The Fractal Dimension Calculation of the Drainage Network "));
  layout->addWidget(new QLabel(
      "Box Counting method (B. B. Mandelbrot, The Fractal Geometry of Nature, Freeman, 1982)"));

  auto* middle = new QHBoxLayout;
  middle->addWidget(new TPaintedFigure("BoxCountingPicture", {560, 250}, DrawBoxCounting, dialog));
  auto* explanation = LabelColumn({"The Fractal Dimension", "D corresponds to the",
                                   "inverse of the slope", "ln(q) / ln(Ns)  where",
                                   "q is the size of the boxes", "and Ns the number of",
                                   "of the filled boxes."});
  explanation->addStretch();
  middle->addLayout(explanation);
  layout->addLayout(middle);
  LabelColumn({"The first parameter takes into account the drainage network",
               "inside the moving window. The second parameter  portion of",
               "the drainage network passing through the central pixel of the",
               "moving window."},
              layout);
  layout->addWidget(OkButton(*dialog, "OkBitBtn"), 0, Qt::AlignHCenter);
  return dialog;
}

// --- TRatioOfDepthsDialog -----------------------------------------------------------------------

TRatioOfDepthsDialog::TRatioOfDepthsDialog(QWidget* parent)
    : TTreatmentDialog("RatioDepthForm", "  DRAINAGE/SURFACE", parent) {
  auto* groups = new QHBoxLayout;
  AddPlacement({"Resulting Image", "RadioButton3", "RadioButton4"}, groups);
  groups->addWidget(DeclaredRadioGroup("Dynamic Scale", DeclaredParam(kRatioDepthTreatment, "scale"),
                                       {"RadioButton1", "RadioButton2"}, scale_));
  Column().addLayout(groups);
  Column().addLayout(OkCancelRow(*this, "BitBtn1", "BitBtn2", [this] { accept(); }));
}

int TRatioOfDepthsDialog::DynamicScale() const { return scale_->Value(); }

}  // namespace orvane
