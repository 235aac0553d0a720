#include "app/drainage/extraction_form.h"

#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "app/shell/declared_fields.h"
#include "app/shell/form_kit.h"
#include "app/shell/form_parts.h"
#include "app/shell/prompter.h"
#include "app/shell/text_values.h"
#include "core/terrain/dem_model.h"
#include "core/treatment/treatment_registry.h"

namespace orvane {

TDrainageExtractionDialog::TDrainageExtractionDialog(QWidget* parent) : QDialog(parent) {
  setObjectName("ExtractRiv");
  setWindowTitle(" RIVER EXTRACTION");

  auto* filter = new QGroupBox("Filter Size");
  auto* filterForm = new QFormLayout(filter);
  lrEdit_ = AddWholeNumberField(filterForm, "LREdit", "Lower Range", 0, kMaxDemSide, lowerRange_);
  urEdit_ = AddWholeNumberField(filterForm, "UREdit", "Upper Range", 0, kMaxDemSide, upperRange_);
  filterForm->addRow("Nota: ", new QLabel("Window Size = (Range * 2) + 1"));

  auto* colourGroup = DeclaredRadioGroup("Drainage Network Color",
                                         DeclaredParam("extract-drainage", "colour"),
                                         {"Black", "Blue", "Red", "Green", "Yellow"}, colours_);

  auto* connection = new QGroupBox("Connection");
  auto* connectionLayout = new QHBoxLayout(connection);
  yes_ = AddRadio("Yes", "YesButton", connection, connectionLayout);
  no_ = AddRadio("No", "NoButton", connection, connectionLayout);
  no_->setChecked(true);
  connect(yes_, &QRadioButton::toggled, this, [this](bool on) { connection_ = on ? 1 : 0; });

  auto* notes = LabelColumn({"Nota; This treatment requires time", "when using a great Upper Range",
                            "and connecting the segments"});

  auto* cancel = new QPushButton("Cancel");
  cancel->setObjectName("CancelBitBtn");
  connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
  auto* ok = OkButton(*this, "OKBitBtn", [this] { OKBitBtnClick(); });
  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(cancel);
  buttons->addWidget(ok);

  auto* right = new QVBoxLayout;
  right->addWidget(colourGroup);
  right->addWidget(connection);
  auto* left = new QVBoxLayout;
  left->addWidget(filter);
  left->addLayout(notes);
  auto* columns = new QHBoxLayout;
  columns->addLayout(left);
  columns->addLayout(right);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(columns);
  layout->addLayout(buttons);
}

void TDrainageExtractionDialog::SetRanges(const QString& lower, const QString& upper) {
  lrEdit_->setText(lower);
  urEdit_->setText(upper);
}

int TDrainageExtractionDialog::ColourCode() const { return colours_->Value(); }
void TDrainageExtractionDialog::ChooseColour(int code) { colours_->Choose(code); }

TreatmentArgs TDrainageExtractionDialog::Args() const {
  TreatmentArgs args;
  args.Set("lower", lowerRange_);
  args.Set("upper", upperRange_);
  args.Set("colour", ColourCode());
  return args;
}

void TDrainageExtractionDialog::OKBitBtnClick() {
  lowerRange_ = LeadingInt(lrEdit_->text());
  upperRange_ = LeadingInt(urEdit_->text());
  TreatmentArgs args = Args();
  if (const Status valid = CompleteArgs(kExtractDrainageTreatment, args); !valid) {
    const QString message = QString::fromStdString(valid.message());
    Refuse(this, message.startsWith("--lower") ? lrEdit_ : urEdit_, message);
    return;
  }
  accept();
}

}  // namespace orvane
