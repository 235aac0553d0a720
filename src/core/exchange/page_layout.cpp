#include "core/exchange/page_layout.h"

#include <algorithm>
#include <cmath>
#include <cctype>
#include <cstdlib>

namespace orvane {

namespace {

float AspectHeight(float width, int bw, int bh) { return bw > 0 ? width * bh / bw : 0.0f; }
float AspectWidth(float height, int bw, int bh) { return bh > 0 ? height * bw / bh : 0.0f; }

}  // namespace

void PageLayout::Activate() {
  w = W / 2;
  h = AspectHeight(w, bw, bh);
  x0 = (W - w) / 2;
  y0 = (H - h) / 2;
  Fit();
}

void PageLayout::Fit() {
  if (w > W) {
    w = W;
    h = AspectHeight(w, bw, bh);
  }
  if (h > H) {
    h = H;
    w = AspectWidth(h, bw, bh);
  }
  if (centred) {
    x0 = (W - w) / 2;
    y0 = (H - h) / 2;
  }
}

void PageLayout::SetImageWidth(float value) {
  w = value;
  h = AspectHeight(w, bw, bh);
  Fit();
}

void PageLayout::SetImageHeight(float value) {
  h = value;
  w = AspectWidth(h, bw, bh);
  Fit();
}

void PageLayout::SetLeftMargin(float value) {
  x0 = std::min(value, W - w);
  Fit();
}

void PageLayout::SetTopMargin(float value) {
  y0 = std::min(value, H - h);
  Fit();
}

void PageLayout::SetCentred(bool value) {
  centred = value;
  x0 = (W - w) / 2;
  y0 = (H - h) / 2;
  Fit();
}

void PageLayout::SetWholePage(bool value) {
  wholePage = value;
  // Oversize the image so that Fit brings it to the largest size with its aspect ratio.
  w = W + 1;
  h = H + 1;
  Fit();
}

PrinterRect PageLayout::ToDevice(int pw, int ph) const {
  PrinterRect r;
  if (!HasPage()) return r;
  r.left = static_cast<int>(pw * x0 / W);
  r.right = static_cast<int>(pw * (x0 + w) / W);
  r.top = static_cast<int>(ph * y0 / H);
  r.bottom = static_cast<int>(ph * (y0 + h) / H);
  return r;
}

float PageLayout::RoundTenth(float value) {
  return static_cast<float>(std::trunc(value * 10.0f + 0.5f) / 10.0f);
}

std::string PageLayout::CleanDecimalText(const std::string& text) {
  std::string cleaned;
  for (char c : text) {
    if (c == '.') c = ',';
    if (!(std::isdigit(static_cast<unsigned char>(c)) || c == '-' || c == ',')) break;
    cleaned += c;
  }
  return cleaned.empty() ? "0" : cleaned;
}

float PageLayout::ParseDecimal(const std::string& text) {
  std::string cleaned = CleanDecimalText(text);
  std::replace(cleaned.begin(), cleaned.end(), ',', '.');
  return std::strtof(cleaned.c_str(), nullptr);
}

}  // namespace orvane
