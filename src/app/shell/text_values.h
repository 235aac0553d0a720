// How the dialogs read numbers from their text fields: like the C conversions, the leading
// part that forms a number counts and the rest is ignored; no number reads as 0.
#pragma once

#include <QLineEdit>
#include <QString>

namespace orvane {

// Leading optional sign and digits: "30.5" -> 30, "12a" -> 12, "" -> 0.
int LeadingInt(const QString& text);
// Leading decimal number with a point as separator: "30.5x" -> 30.5, "abc" -> 0.
double LeadingDouble(const QString& text);
// The text cut at its first character that is not a digit: "12a5" -> "12".
QString DigitsPrefix(const QString& text);

// An integer field cleaned while typing: on every change the text is cut at the first
// character that is not a digit; leaving it empty writes "0".
class TWholeNumberEdit : public QLineEdit {
  Q_OBJECT

 public:
  explicit TWholeNumberEdit(QWidget* parent = nullptr);
  int Value() const { return LeadingInt(text()); }

 protected:
  void focusOutEvent(QFocusEvent* event) override;
};

}  // namespace orvane
