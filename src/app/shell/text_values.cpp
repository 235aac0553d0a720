#include "app/shell/text_values.h"

#include <charconv>
#include <cstdlib>
#include <string>

namespace orvane {

int LeadingInt(const QString& text) {
  const std::string s = text.trimmed().toStdString();
  long value = std::strtol(s.c_str(), nullptr, 10);
  if (value > 2147483647L) value = 2147483647L;
  if (value < -2147483647L - 1) value = -2147483647L - 1;
  return static_cast<int>(value);
}

double LeadingDouble(const QString& text) {
  // from_chars ignores the user's locale: the separator is always a point.
  std::string s = text.trimmed().toStdString();
  if (!s.empty() && s[0] == '+') s.erase(0, 1);
  double value = 0.0;
  const auto result = std::from_chars(s.data(), s.data() + s.size(), value);
  return result.ec == std::errc() ? value : 0.0;
}

QString DigitsPrefix(const QString& text) {
  qsizetype n = 0;
  while (n < text.size() && text[n].isDigit() && text[n].unicode() < 128) ++n;
  return text.left(n);
}

TWholeNumberEdit::TWholeNumberEdit(QWidget* parent) : QLineEdit(parent) {
  connect(this, &QLineEdit::textChanged, this, [this](const QString& text) {
    const QString cleaned = DigitsPrefix(text);
    if (cleaned != text) setText(cleaned);
  });
}

void TWholeNumberEdit::focusOutEvent(QFocusEvent* event) {
  if (text().isEmpty()) setText("0");
  QLineEdit::focusOutEvent(event);
}

}  // namespace orvane
