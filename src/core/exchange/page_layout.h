// Page layout of the printed parameter image, in millimetres (single precision, as the printer
// reports them): page W x H, image w x h at margins x0 (left) and y0 (top), the bitmap's aspect
// ratio bw : bh kept in every change. Fit() keeps the image on the page and centres it when
// asked; ToDevice() gives the printer rectangle in device pixels.
#pragma once

#include <string>

namespace orvane {

struct PrinterRect {
  int left = -1;
  int top = 0;
  int right = 0;
  int bottom = 0;
};

class PageLayout {
 public:
  // New page size (printer or orientation change). A page of 0 x 0 means "no printer".
  void SetPage(float width, float height) {
    W = width;
    H = height;
  }
  void SetBitmap(int widthPixels, int heightPixels) {
    bw = widthPixels;
    bh = heightPixels;
  }
  bool HasPage() const { return W > 0.0f && H > 0.0f; }
  bool HasBitmap() const { return bw > 0 && bh > 0; }

  // Half the page width, centred.
  void Activate();
  void Fit();

  void SetImageWidth(float value);
  void SetImageHeight(float value);
  void SetLeftMargin(float value);
  void SetTopMargin(float value);
  void SetCentred(bool centred);
  void SetWholePage(bool wholePage);

  PrinterRect ToDevice(int pageWidthPixels, int pageHeightPixels) const;

  // Values as the edits show them: rounded to the nearest tenth.
  static float RoundTenth(float value);
  // The edits' cleaning: "." becomes ",", the text is cut at the first character that is not a
  // digit, "-" or ",", an empty text counts as 0, and "," is the decimal separator.
  static std::string CleanDecimalText(const std::string& text);
  static float ParseDecimal(const std::string& text);

  float W = 0.0f, H = 0.0f;  // page
  float w = 0.0f, h = 0.0f;  // image
  float x0 = 0.0f, y0 = 0.0f;
  int bw = 0, bh = 0;
  bool centred = true;
  bool wholePage = false;
};

}  // namespace orvane
