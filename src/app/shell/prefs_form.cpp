#include "app/shell/prefs_form.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTabWidget>
#include <QToolButton>
#include <QVBoxLayout>
#include <limits>

#include "app/shell/form_parts.h"
#include "app/shell/prompter.h"
#include "app/shell/text_values.h"

namespace orvane {

QString AskDirectory(QWidget* parent, const QString& start) {
  QDialog dialog(parent);
  dialog.setObjectName("SelRepForm");
  dialog.setWindowTitle("Sélection Répertoire");
  auto* drives = new QComboBox;
  drives->setObjectName("DriveComboBox");
  for (const QFileInfo& drive : QDir::drives()) drives->addItem(drive.absoluteFilePath());
  auto* list = new QListWidget;
  list->setObjectName("DirectoryListBox");
  auto* current = new QLabel;
  current->setObjectName("DirLabel");
  QString directory;
  // Enters `path`, or its nearest existing parent, and lists its subdirectories.
  const auto enter = [&](const QString& path) {
    QDir dir(path);
    while (!dir.exists() && !dir.isRoot()) dir.setPath(QFileInfo(dir.absolutePath()).path());
    directory = dir.exists() ? dir.absolutePath() : QDir::rootPath();
    current->setText(QDir::toNativeSeparators(directory));
    list->clear();
    if (!QDir(directory).isRoot()) list->addItem("..");
    list->addItems(QDir(directory).entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name));
  };
  QObject::connect(drives, &QComboBox::textActivated, &dialog, enter);
  QObject::connect(list, &QListWidget::itemActivated, &dialog, [&](QListWidgetItem* item) {
    QDir dir(directory);
    if (dir.cd(item->text())) enter(dir.absolutePath());
  });
  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(OkButton(dialog, "OkBitBtn", {}, nullptr, false));
  auto* cancel = new QPushButton("Cancel");
  cancel->setObjectName("CancelBitBtn");
  QObject::connect(cancel, &QPushButton::clicked, &dialog, &QDialog::reject);
  buttons->addWidget(cancel);
  auto* layout = new QVBoxLayout(&dialog);
  layout->addWidget(drives);
  layout->addWidget(current);
  layout->addWidget(list);
  layout->addLayout(buttons);
  dialog.resize(360, 380);
  enter(start);
  return Prompts().Exec(dialog) == QDialog::Accepted ? directory : QString();
}

TPreferencesDialog::TPreferencesDialog(TSettings& settings, QWidget* parent)
    : QDialog(parent), settings_(settings), copy_(settings) {
  setObjectName("PrefsForm");
  setWindowTitle("Préférences");

  auto* general = new QWidget;
  auto* view3d = new QGroupBox(" Préférences Vue3D ");
  auto* view3dForm = new QFormLayout(view3d);
  stereoGap_ = new TWholeNumberEdit;
  stereoGap_->setObjectName("EcartEdit");
  AcceptWholeNumbers(stereoGap_, 0, std::numeric_limits<int>::max());
  view3dForm->addRow("Ecart Vue Gauche-Vue Droite en mètres", stereoGap_);
  smoothing_ = new TWholeNumberEdit;
  smoothing_->setObjectName("LissageEdit");
  AcceptWholeNumbers(smoothing_, 0, 5);
  auto* upDown = new QHBoxLayout;
  upDown->addWidget(smoothing_);
  auto* up = new QToolButton;
  up->setObjectName("LissageUpButton");
  up->setArrowType(Qt::UpArrow);
  auto* down = new QToolButton;
  down->setObjectName("LissageDownButton");
  down->setArrowType(Qt::DownArrow);
  connect(up, &QToolButton::clicked, this,
          [this] { smoothing_->setText(QString::number(std::min(5, smoothing_->Value() + 1))); });
  connect(down, &QToolButton::clicked, this,
          [this] { smoothing_->setText(QString::number(std::max(0, smoothing_->Value() - 1))); });
  upDown->addWidget(up);
  upDown->addWidget(down);
  view3dForm->addRow("Niveau de lissage (0-5)", upDown);
  skeletonSize_ = new TWholeNumberEdit;
  skeletonSize_->setObjectName("SquelEdit");
  AcceptWholeNumbers(skeletonSize_, 10, 500);
  view3dForm->addRow("Taille du squelette (10-500) ", skeletonSize_);
  auto* shading = new QGroupBox(" Paramètres ombrage ");
  auto* shadingForm = new QFormLayout(shading);
  previewSize_ = new TWholeNumberEdit;
  previewSize_->setObjectName("OmbEdit");
  AcceptWholeNumbers(previewSize_, 20, 200);
  shadingForm->addRow("Taille en pixels de la fenêtre de prévisualisation (20-200)", previewSize_);
  splash_ = new QCheckBox("Afficher la fenêtre de présentation au démarrage");
  splash_->setObjectName("SplashCheckBox");
  auto* generalLayout = new QVBoxLayout(general);
  generalLayout->addWidget(view3d);
  generalLayout->addWidget(shading);
  generalLayout->addWidget(splash_);
  generalLayout->addStretch();

  auto* directories = new QWidget;
  auto* grid = new QGridLayout(directories);
  auto addDirectory = [&](int row, const char* label, const char* editName,
                          const char* buttonName, std::string TSettings::*member) {
    auto* edit = new QLineEdit;
    edit->setObjectName(editName);
    edit->setReadOnly(true);
    auto* button = new QPushButton("...");
    button->setObjectName(buttonName);
    connect(button, &QPushButton::clicked, this,
            [this, edit, member] { ChooseDirectory(edit, member); });
    grid->addWidget(new QLabel(label), 2 * row, 0, 1, 2);
    grid->addWidget(edit, 2 * row + 1, 0);
    grid->addWidget(button, 2 * row + 1, 1);
    return edit;
  };
  projectDir_ = addDirectory(0, " Répertoire par défaut des projets", "RepProjetEdit",
                            "ProjetBitBtn", &TSettings::projectDir);
  demDir_ = addDirectory(1, " Répertoire par défaut des Modèles numériques de Terrains",
                         "RepMntEdit", "MntBitBtn", &TSettings::demDir);
  imageDir_ = addDirectory(2, " Répertoire par défaut des images", "RepImageEdit",
                           "ImageBitBtn", &TSettings::imageDir);
  grid->setRowStretch(6, 1);

  auto* tabs = new QTabWidget;
  tabs->setObjectName("PageControl1");
  tabs->addTab(general, "Générales");
  tabs->addTab(directories, "Répertoires");

  auto* buttons = OkCancelRow(*this, "OkBitBtn", "CancelBitBtn", [this] { OkClick(); });
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(tabs);
  layout->addLayout(buttons);
  LoadFromSettings();
}

void TPreferencesDialog::LoadFromSettings() {
  copy_ = settings_;
  stereoGap_->setText(QString::number(copy_.eyeDistance));
  smoothing_->setText(QString::number(copy_.smoothing3D));
  skeletonSize_->setText(QString::number(copy_.skeletonSize));
  previewSize_->setText(QString::number(copy_.previewSize));
  splash_->setChecked(copy_.showSplash);
  projectDir_->setText(QString::fromStdString(copy_.projectDir));
  demDir_->setText(QString::fromStdString(copy_.demDir));
  imageDir_->setText(QString::fromStdString(copy_.imageDir));
}

void TPreferencesDialog::showEvent(QShowEvent* event) {
  LoadFromSettings();
  QDialog::showEvent(event);
}

void TPreferencesDialog::ChooseDirectory(QLineEdit* edit, std::string TSettings::*member) {
  const QString chosen = AskDirectory(this, edit->text());
  if (chosen.isEmpty()) return;
  edit->setText(chosen);
  copy_.*member = chosen.toStdString();
}

void TPreferencesDialog::OkClick() {
  const int lissage = smoothing_->Value();
  const int squel = skeletonSize_->Value();
  const int omb = previewSize_->Value();
  if (lissage < 0 || lissage > 5) {
    Prompts().Warning(this, "ERREUR", "Smoothing Parameter wrong (0-5)");
    return;
  }
  if (squel < 10 || squel > 500) {
    Prompts().Warning(this, "ERREUR", "Size of the Skeleton Parameter wrong (10-500)");
    return;
  }
  if (omb < 20 || omb > 200) {
    Prompts().Warning(this, "ERREUR", "Size of the Screen wrong (20-200)");
    return;
  }
  copy_.eyeDistance = stereoGap_->Value();
  copy_.smoothing3D = lissage;
  copy_.skeletonSize = squel;
  copy_.previewSize = omb;
  copy_.showSplash = splash_->isChecked();
  settings_ = copy_;
  accept();
}

}  // namespace orvane
