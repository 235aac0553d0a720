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
#include <algorithm>
#include <limits>
#include <tuple>

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

namespace {

// The whole-number fields: the first three in the 3D view group, the last in the shading one.
// OK checks those with a refusal, in this order (the eye distance has no range).
struct NumberField {
  const char* name;
  const char* label;
  int minimum;
  int maximum;
  int TSettings::*member;
  const char* refusal;
};
const NumberField kNumberFields[TPreferencesDialog::kNumbers] = {
    {"EcartEdit", "Ecart Vue Gauche-Vue Droite en mètres", 0, std::numeric_limits<int>::max(),
     &TSettings::eyeDistance, nullptr},
    {"LissageEdit", "Niveau de lissage (0-5)", 0, 5, &TSettings::smoothing3D,
     "Smoothing Parameter wrong (0-5)"},
    {"SquelEdit", "Taille du squelette (10-500) ", 10, 500, &TSettings::skeletonSize,
     "Size of the Skeleton Parameter wrong (10-500)"},
    {"OmbEdit", "Taille en pixels de la fenêtre de prévisualisation (20-200)", 20, 200,
     &TSettings::previewSize, "Size of the Screen wrong (20-200)"},
};
constexpr int kSmoothing = 1;

struct DirectoryField {
  const char* label;
  const char* editName;
  const char* buttonName;
  std::string TSettings::*member;
};
const DirectoryField kDirectoryFields[TPreferencesDialog::kDirectories] = {
    {" Répertoire par défaut des projets", "RepProjetEdit", "ProjetBitBtn", &TSettings::projectDir},
    {" Répertoire par défaut des Modèles numériques de Terrains", "RepMntEdit", "MntBitBtn",
     &TSettings::demDir},
    {" Répertoire par défaut des images", "RepImageEdit", "ImageBitBtn", &TSettings::imageDir},
};

}  // namespace

TPreferencesDialog::TPreferencesDialog(TSettings& settings, QWidget* parent)
    : QDialog(parent), settings_(settings), copy_(settings) {
  setObjectName("PrefsForm");
  setWindowTitle("Préférences");

  auto* general = new QWidget;
  auto* view3d = new QGroupBox(" Préférences Vue3D ");
  auto* shading = new QGroupBox(" Paramètres ombrage ");
  auto* view3dForm = new QFormLayout(view3d);
  auto* shadingForm = new QFormLayout(shading);
  for (int i = 0; i < kNumbers; ++i) {
    const NumberField& field = kNumberFields[i];
    numbers_[i] = new TWholeNumberEdit;
    numbers_[i]->setObjectName(field.name);
    AcceptWholeNumbers(numbers_[i], field.minimum, field.maximum);
    QFormLayout* form = i < 3 ? view3dForm : shadingForm;
    if (i != kSmoothing) {
      form->addRow(field.label, numbers_[i]);
      continue;
    }
    // The smoothing level also steps with two arrow buttons, within its range.
    auto* upDown = new QHBoxLayout;
    upDown->addWidget(numbers_[i]);
    for (const auto& [name, arrow, step] : {std::tuple{"LissageUpButton", Qt::UpArrow, 1},
                                            std::tuple{"LissageDownButton", Qt::DownArrow, -1}}) {
      auto* button = new QToolButton;
      button->setObjectName(name);
      button->setArrowType(arrow);
      connect(button, &QToolButton::clicked, this, [edit = numbers_[i], step = step, field] {
        edit->setText(QString::number(std::clamp(edit->Value() + step, field.minimum, field.maximum)));
      });
      upDown->addWidget(button);
    }
    form->addRow(field.label, upDown);
  }
  splash_ = new QCheckBox("Afficher la fenêtre de présentation au démarrage");
  splash_->setObjectName("SplashCheckBox");
  auto* generalLayout = new QVBoxLayout(general);
  generalLayout->addWidget(view3d);
  generalLayout->addWidget(shading);
  generalLayout->addWidget(splash_);
  generalLayout->addStretch();

  auto* directories = new QWidget;
  auto* grid = new QGridLayout(directories);
  for (int row = 0; row < kDirectories; ++row) {
    const DirectoryField& field = kDirectoryFields[row];
    QLineEdit* edit = directories_[row] = new QLineEdit;
    edit->setObjectName(field.editName);
    edit->setReadOnly(true);
    auto* button = new QPushButton("...");
    button->setObjectName(field.buttonName);
    connect(button, &QPushButton::clicked, this, [this, edit, member = field.member] {
      const QString chosen = AskDirectory(this, edit->text());
      if (chosen.isEmpty()) return;
      edit->setText(chosen);
      copy_.*member = chosen.toStdString();
    });
    grid->addWidget(new QLabel(field.label), 2 * row, 0, 1, 2);
    grid->addWidget(edit, 2 * row + 1, 0);
    grid->addWidget(button, 2 * row + 1, 1);
  }
  grid->setRowStretch(6, 1);

  auto* tabs = new QTabWidget;
  tabs->setObjectName("PageControl1");
  tabs->addTab(general, "Générales");
  tabs->addTab(directories, "Répertoires");

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(tabs);
  layout->addLayout(OkCancelRow(*this, "OkBitBtn", "CancelBitBtn", [this] { OkClick(); }));
  LoadFromSettings();
}

void TPreferencesDialog::LoadFromSettings() {
  copy_ = settings_;
  for (int i = 0; i < kNumbers; ++i) numbers_[i]->setText(QString::number(copy_.*kNumberFields[i].member));
  for (int i = 0; i < kDirectories; ++i) {
    directories_[i]->setText(QString::fromStdString(copy_.*kDirectoryFields[i].member));
  }
  splash_->setChecked(copy_.showSplash);
}

void TPreferencesDialog::showEvent(QShowEvent* event) {
  LoadFromSettings();
  QDialog::showEvent(event);
}

void TPreferencesDialog::OkClick() {
  for (int i = 0; i < kNumbers; ++i) {
    const NumberField& field = kNumberFields[i];
    const int value = numbers_[i]->Value();
    if (field.refusal && (value < field.minimum || value > field.maximum)) {
      Prompts().Warning(this, "ERREUR", field.refusal);
      return;
    }
  }
  for (int i = 0; i < kNumbers; ++i) copy_.*kNumberFields[i].member = numbers_[i]->Value();
  copy_.showSplash = splash_->isChecked();
  settings_ = copy_;
  accept();
}

}  // namespace orvane
