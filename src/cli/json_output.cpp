// --json: the key=value lines a command prints, as one JSON object for scripts.
#include <cmath>
#include <cstdlib>
#include <map>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "cli/command.h"

namespace orvane::cli {

namespace {

std::string Quote(std::string_view text) {
  std::string quoted = "\"";
  for (char ch : text) {
    switch (ch) {
      case '"': quoted += "\\\""; break;
      case '\\': quoted += "\\\\"; break;
      case '\n': quoted += "\\n"; break;
      case '\t': quoted += "\\t"; break;
      case '\r': quoted += "\\r"; break;
      default:
        if (static_cast<unsigned char>(ch) < 0x20) {
          char buffer[8];
          std::snprintf(buffer, sizeof buffer, "\\u%04x", ch);
          quoted += buffer;
        } else {
          quoted += ch;
        }
    }
  }
  return quoted + "\"";
}

// A number as printed (shortest exact form) stays a JSON number; anything else is a string.
std::string JsonValue(const std::string& text) {
  if (!text.empty()) {
    char* end = nullptr;
    const double value = std::strtod(text.c_str(), &end);
    const bool plain = text.find_first_of("xXnN") == std::string::npos;  // no hex, inf, nan
    if (end == text.c_str() + text.size() && std::isfinite(value) && plain && text[0] != '+' &&
        text[0] != '.' && !(text.size() > 1 && text[0] == '0' && text[1] != '.'))
      return text;
  }
  return Quote(text);
}

// Keys in first-seen order; "values.min" nests under "values"; a repeated key becomes a list.
struct JsonNode {
  std::vector<std::string> order;
  std::map<std::string, std::vector<std::string>> leaves;
  std::map<std::string, JsonNode> children;

  void Add(const std::string& key, const std::string& value) {
    const std::size_t dot = key.find('.');
    if (dot != std::string::npos && dot > 0 && dot + 1 < key.size()) {
      const std::string head = key.substr(0, dot);
      if (!leaves.count(head)) {
        if (!children.count(head)) order.push_back(head);
        children[head].Add(key.substr(dot + 1), value);
        return;
      }
    }
    if (!leaves.count(key) && !children.count(key)) order.push_back(key);
    leaves[key].push_back(JsonValue(value));
  }

  std::string Text() const {
    std::string text = "{";
    for (const std::string& key : order) {
      if (text.size() > 1) text += ", ";
      text += Quote(key) + ": ";
      if (const auto child = children.find(key); child != children.end()) {
        text += child->second.Text();
        continue;
      }
      const std::vector<std::string>& values = leaves.at(key);
      if (values.size() == 1) {
        text += values.front();
      } else {
        text += "[";
        for (std::size_t k = 0; k < values.size(); ++k) text += (k ? ", " : "") + values[k];
        text += "]";
      }
    }
    return text + "}";
  }
};

}  // namespace

std::string KeyValuesToJson(std::string_view text) {
  JsonNode root;
  std::istringstream lines{std::string(text)};
  std::string line;
  while (std::getline(lines, line)) {
    if (line.empty()) continue;
    const std::size_t equals = line.find('=');
    if (equals == std::string::npos || equals == 0) {
      root.Add("lines", line);  // a line that is no key=value is kept, not lost
      continue;
    }
    root.Add(line.substr(0, equals), line.substr(equals + 1));
  }
  return root.Text() + "\n";
}

}  // namespace orvane::cli
