#include "app/shell/about_form.h"

#include <QFrame>
#include <QGuiApplication>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

#include "app/shell/form_parts.h"
#include "app/shell/icons.h"

namespace orvane {

TAboutForm::TAboutForm(QWidget* parent) : QDialog(parent) {
  setObjectName("AuSujetDeForm");
  setWindowTitle("About");
  auto* layout = new QVBoxLayout(this);
  auto* picture = new QLabel;
  picture->setPixmap(SplashPicture(360, 210));
  layout->addWidget(picture);
  auto* text = new QLabel(
      "<b>ORVANE Version 1.0</b><br>"
      "Morphometric analysis of Digital Elevation Models.<br><br>"
      "Slope, aspect, convexity and concavity, contour-line density, fractal dimensions,<br>"
      "total depth, circular-window statistics, surface 3D, drainage network extraction,<br>"
      "dissection density and headwaters density, ILWIS exchange and 3D views.");
  text->setTextFormat(Qt::RichText);
  layout->addWidget(text);
  auto* ok = OkButton(*this, "OkButton");
  layout->addWidget(ok, 0, Qt::AlignRight);
}

TSplashForm::TSplashForm(QWidget* parent)
    : QWidget(parent, Qt::SplashScreen | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint) {
  setObjectName("PresentationForm");
  setFixedSize(718, 420);
  setAutoFillBackground(true);
  QPalette colours = palette();
  colours.setColor(QPalette::Window, QColor(128, 0, 0));
  setPalette(colours);
  auto* panel = new QFrame(this);
  panel->setFrameShape(QFrame::Panel);
  panel->setFrameShadow(QFrame::Raised);
  panel->setLineWidth(3);
  auto* picture = new QLabel(panel);
  picture->setPixmap(SplashPicture(678, 380));
  auto* inner = new QVBoxLayout(panel);
  inner->setContentsMargins(4, 4, 4, 4);
  inner->addWidget(picture);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(12, 12, 12, 12);
  layout->addWidget(panel);
  if (const QScreen* screen = QGuiApplication::primaryScreen()) {
    move(screen->availableGeometry().center() - rect().center());
  }
}

}  // namespace orvane
