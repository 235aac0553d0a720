// Builds the text files the program writes (headers, tables, ILWIS descriptions): printf-style
// pieces appended with "\n" line ends, turned into CR LF on output as text-mode files are.
#pragma once

#include <cstdarg>
#include <cstdio>
#include <string>
#include <vector>

namespace orvane {

class TextBuilder {
 public:
  void Add(const std::string& text) { text_ += text; }

  // printf-style append (the C locale's point is the decimal separator).
  __attribute__((format(printf, 2, 3))) void Format(const char* format, ...) {
    va_list args;
    va_start(args, format);
    va_list copy;
    va_copy(copy, args);
    const int length = std::vsnprintf(nullptr, 0, format, copy);
    va_end(copy);
    if (length > 0) {
      std::vector<char> buffer(static_cast<std::size_t>(length) + 1);
      std::vsnprintf(buffer.data(), buffer.size(), format, args);
      text_.append(buffer.data(), static_cast<std::size_t>(length));
    }
    va_end(args);
  }

  const std::string& Text() const { return text_; }

  // The text with every "\n" written as "\r\n".
  std::string Crlf() const { return ToCrlf(text_); }

  static std::string ToCrlf(const std::string& text) {
    std::string out;
    out.reserve(text.size() + text.size() / 16);
    for (char c : text) {
      if (c == '\n') out += '\r';
      out += c;
    }
    return out;
  }

 private:
  std::string text_;
};

}  // namespace orvane
