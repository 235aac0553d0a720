// palette: an 8-bit parameter image coloured through the ten-class "Classical" or "Blue Base"
// table, as the palette command does.
#include <optional>

#include "cli/command.h"
#include "core/common/grid_memory.h"
#include "core/render/palette.h"

namespace orvane::cli {

namespace {

class PaletteCommand : public Command {
 public:
  std::string Name() const override { return "palette"; }
  std::string Summary() const override { return "Colour an 8-bit parameter image with a ten-class table"; }
  void AddOptions(CLI::App& app) override {
    AddRasterInputOption(app, "--param", param_, "8-bit parameter image (.bmp, or .raw with .txt)");
    app.add_option("--table", table_, "colour table")
        ->check(CLI::IsMember({"classical", "bluebase"}))
        ->capture_default_str();
    app.add_option("--min", min_, "lower end of the classes [the image's smallest value inside the margin]");
    app.add_option("--max", max_, "upper end of the classes [the image's largest value inside the margin]");
    app.add_option("--margin", margin_, "border width left white")->check(CLI::NonNegativeNumber)->capture_default_str();
    app.add_flag("--smooth", smooth_, "smooth colour transitions inside the classes");
    AddOutputOption(app, out_);
  }
  int Run(CommandContext& context) override {
    auto image = LoadRasterInput(param_, context);
    if (!image) return Report(context, image.error());
    const TRasterImage& param = **image;
    if (param.kind == kRasterRgb)
      return Report(context, UsageError("--param: the palette colours 8-bit images only, " + param_ + " is a colour image"));
    const TGrayRange range = InnerGrayRange(param, margin_);
    const double min = min_ ? *min_ : range.min;
    const double max = max_ ? *max_ : range.max;
    const TClassTable table =
        PaletteTable(table_ == "classical" ? kPaletteClassical : kPaletteBlueBase, min, max);
    auto colour = ApplyPalette(param, table, smooth_, margin_, context.progress);
    if (!colour) return Report(context, GridMemoryError(param.lines, param.columns));
    return Report(context, WriteRasterOutput(*colour, out_, 0, true));
  }

 private:
  std::string param_;
  std::string table_ = "bluebase";
  std::optional<double> min_, max_;
  int margin_ = 0;
  bool smooth_ = false;
  std::string out_;
};

}  // namespace

std::unique_ptr<Command> MakePaletteCommand() { return std::make_unique<PaletteCommand>(); }

}  // namespace orvane::cli
