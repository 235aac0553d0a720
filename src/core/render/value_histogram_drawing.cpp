#include "core/render/value_histogram_drawing.h"

#include <algorithm>
#include <cstdio>

namespace orvane {

namespace {

constexpr int kLeft = 12;       // x of the first class
constexpr int kClassWidth = 4;  // pixels per class
constexpr int kTop = 22;        // room for the title line
constexpr int kBelow = 22;      // room for the axis texts under the baseline
constexpr int kTicks = 5;
constexpr int kCharWidth = 6;   // about, to centre a text under its tick

// The characters of a UTF-8 text, "°" counting one.
int Characters(const std::string& text) {
  return static_cast<int>(
      std::count_if(text.begin(), text.end(), [](unsigned char c) { return (c & 0xC0) != 0x80; }));
}

}  // namespace

std::vector<std::string> ValueHistogramAxisTexts(const TValueHistogram& histogram,
                                                 const std::string& unit) {
  std::vector<std::string> texts;
  if (histogram.counts.empty()) return texts;
  for (int k = 0; k < kTicks; ++k)
    texts.push_back(ValueText(histogram.minimum + (histogram.maximum - histogram.minimum) * k / (kTicks - 1)));
  texts.back() += UnitSuffix(unit);
  return texts;
}

DiagramDrawing ValueHistogramDrawing(const TValueHistogram& histogram, const std::string& name,
                                     const std::string& unit, int height) {
  constexpr TColor kBars = Rgb(0, 0, 128);
  DiagramDrawing drawing;
  const int base = height - kBelow;
  const int right = kLeft + kValueHistogramClasses * kClassWidth;
  if (!histogram.counts.empty()) {
    const std::int64_t peak = *std::max_element(histogram.counts.begin(), histogram.counts.end());
    for (std::size_t k = 0; k < histogram.counts.size(); ++k) {
      const std::int64_t c = histogram.counts[k];
      if (c <= 0) continue;
      const int top = kTop + static_cast<int>((1.0 - static_cast<double>(c) / peak) * (base - kTop));
      for (int x = 0; x < kClassWidth - 1; ++x) {
        const int at = kLeft + static_cast<int>(k) * kClassWidth + x;
        drawing.lines.push_back({{at, base}, {at, top}, kBars});
      }
    }
    const std::string title = name + (unit.empty() ? "" : " (" + unit + ")") + "   " +
                              std::to_string(histogram.valid) + " cells";
    drawing.texts.push_back({{kLeft, 14}, title});
    const std::vector<std::string> texts = ValueHistogramAxisTexts(histogram, unit);
    for (int k = 0; k < kTicks; ++k) {
      const int x = kLeft + (right - kLeft) * k / (kTicks - 1);
      drawing.lines.push_back({{x, base}, {x, base + 4}, kDiagramBlack});
      const int half = Characters(texts[k]) * kCharWidth / 2;
      drawing.texts.push_back({{std::max(0, x - half), height - 5}, texts[k]});
    }
  } else {
    drawing.texts.push_back({{kLeft, 14}, "The current result has no values"});
  }
  drawing.lines.push_back({{kLeft, base}, {right, base}, kDiagramBlack});
  return drawing;
}

std::string ValueHistogramTable(const TValueHistogram& histogram) {
  std::string text = "Lower\tUpper\tCount\n";
  const double width = histogram.ClassWidth();
  char row[96];
  for (std::size_t k = 0; k < histogram.counts.size(); ++k) {
    const double lower = histogram.minimum + width * static_cast<double>(k);
    const double upper = k + 1 == histogram.counts.size() ? histogram.maximum : lower + width;
    std::snprintf(row, sizeof row, "%.8g\t%.8g\t%lld\n", lower, upper,
                  static_cast<long long>(histogram.counts[k]));
    text += row;
  }
  return text;
}

}  // namespace orvane
