// Every declared treatment run from its menu item equals its declaration run on the same DEM
// with the same choices: the same picture, the same value grid, bit for bit. The DEM has
// hills, a pit and NoData cells, so each treatment's NoData rule is part of the comparison.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <cmath>
#include <functional>
#include <initializer_list>
#include <string>
#include <utility>
#include <vector>

#include "app/drainage/drainage_forms.h"
#include "app/morphometry/morphometry_forms.h"
#include "app/render/palette_form.h"
#include "app/render/relief_forms.h"
#include "app/shell/declared_treatment.h"
#include "app/shell/treatment_menu.h"
#include "app/surface/surface_forms.h"
#include "core/drainage/density_image.h"
#include "core/render/palette.h"
#include "core/render/slices.h"
#include "core/surface/global_fractal.h"
#include "core/surface/total_depth.h"
#include "core/treatment/treatment_registry.h"
#include "support/app_session.h"
#include "support/compare.h"

namespace orvane::test {
namespace {

struct ParityRow {
  const TreatmentDescriptor* treatment;
  Answers answer;  // answers the dialogs its menu item shows, as a user would
  std::vector<std::pair<std::string, double>> args;  // the same choices for the declaration
  const char* disabled = nullptr;  // why the row is not compared yet
  // The picture is the drainage network (kept for the network treatments that follow), not a
  // result with values.
  bool network = false;
  bool valuesShown = true;  // false where the desktop shows the picture alone
};

Answers Both(Answers first, Answers second) {
  return [first, second](TestPrompter& prompts) {
    first(prompts);
    second(prompts);
  };
}

Answers WindowSize(const char* size) {
  return [size](TestPrompter& prompts) { AnswerWindowSize(prompts, size); };
}

// The dissection dialogs: this window, coloured classes, the result as parameter image.
Answers Dissection(const char* window) {
  return [window](TestPrompter& prompts) {
    AnswerDissection(prompts, window, kColoredPalette, ResultKind::kParameterImage);
  };
}

// The shadowing dialog with its own light and no cast shadows, the result as parameter image.
Answers Shadowing(int table, bool shadow, bool smooth) {
  return Dialog<TSlicesDialog>("ConstHypsoForm", [=](TSlicesDialog& f) {
    f.ChooseType(table);
    f.SetSmoothing(smooth);
    f.SetScale(false);
    f.SetShadow(shadow);
    f.ChoosePlacement(ResultKind::kParameterImage);
    f.ShadingDialog().findChild<QCheckBox*>("OmbCheckBox")->setChecked(false);
    f.OkClick();
  });
}

// The gray histogram's handler does not run its declaration yet.
constexpr const char* kOwnHandler = "its menu handler still computes without the declaration";

const std::vector<ParityRow>& Rows() {
  static const std::vector<ParityRow> rows = {
      {&kSlopeTreatment,
       Dialog<TSlopeDialog>("PentesForm", [](TSlopeDialog& f) { f.ChooseType(3); f.accept(); }),
       {{"table", kSlopeGrayTones}, {"norm", 90}}},
      // The slope picture coloured inside the margin it keeps (set in the loop).
      {&kPaletteTreatment,
       Dialog<TPaletteDialog>("PalForm", [](TPaletteDialog& f) { f.ChooseTable(kPaletteClassical); f.SetSmoothing(true); f.accept(); }),
       {{"table", kPaletteClassical}, {"smooth", 1}}},
      {&kAspectTreatment,
       Dialog<TAspectDialog>("AspectFen", [](TAspectDialog& f) { f.ChoosePalette(kAspectGrayTones); f.accept(); }),
       {{"palette", kAspectGrayTones}}},
      {&kConvexityTreatment,
       Dialog<TConvexityConcavityDialog>("ConCavForm", [](auto& f) { TypeIn(f, "SizeWinEdit", 3); Choose(f, 255); f.OkClick(); }),
       {{"range", 3}, {"dynamism", 255}}},
      {&kConcavityTreatment,
       Dialog<TConvexityConcavityDialog>("ConCavForm", [](auto& f) { TypeIn(f, "SizeWinEdit", 2); Choose(f, 100); f.OkClick(); }),
       {{"range", 2}}},
      {&kHorizontalTreatment,
       Dialog<THorizontalSurfacesDialog>("HorizSurfForm", [](auto& f) { TypeIn(f, "SizeWinEdit", 2); Check(f, "BinarRadioButton"); f.OkClick(); }),
       {{"range", 2}, {"binarize", 1}}},
      {&kContourDensityTreatment,
       Dialog<TContourExtractionDialog>("ContourLineForm", [](TContourExtractionDialog& f) {
         TypeIn(f, "SizeWinEdit", 7);
         TypeIn(f, "HypsoIntervalEdit", 10);
         Choose(f, 1);
         f.OkClick();
       }),
       {{"window", 7}, {"interval", 10}, {"tiling", 1}}},
      {&kContoursTreatment,
       Dialog<TContourDensityDialog>("ContLineForm", [](TContourDensityDialog& f) {
         TypeIn(f, "FirstContEdit", 320);
         TypeIn(f, "LastContEdit", 400);
         TypeIn(f, "IntervEdit", 20);
         f.OkClick();
       }),
       {{"first", 320}, {"last", 400}, {"interval", 20}}},
      {&kGlobalFractalTreatment, [](TestPrompter&) {}, {}},
      {&kCircularTreatment,
       Dialog<TCircularWindowDialog>("CircularWindowForm", [](auto& f) { TypeIn(f, "RadiusEdit", 3); Choose(f, 6); f.OkClick(); }),
       {{"radius", 3}, {"stat", 6}}},
      {&kLocalFractalTreatment,
       Dialog<TLocalFractalDialog>("LocalFractForm", [](auto& f) { Choose(f, 12); TypeIn(f, "HValEdit", "0.05"); f.OkClick(); }),
       {{"window", 12}, {"h", 0.05}}},
      {&kTotalDepthTreatment,
       Both(WindowSize("5"), Dialog<TClassPaletteDialog>("TotalDepthForm", [](TClassPaletteDialog& f) {
              f.SelectPalette(kDepthGray);
              f.SetScale(true);
              f.OkClick();
            })),
       {{"window", 5}, {"palette", kDepthGray}, {"scale", 1}}},
      {&kSurface3DTreatment, WindowSize("5"), {{"window", 5}}},
      // The shading alone; the desktop keeps no value grid of it.
      {&kShadeTreatment, Shadowing(kSliceNone, true, false), {}, nullptr, false, false},
      {&kSlicesTreatment, Shadowing(kSliceHypsoMap2, true, true),
       {{"table", kSliceHypsoMap2}, {"smooth", 1}, {"shadow", 1}}},
      {&kExtractDrainageTreatment, [](TestPrompter& prompts) { AnswerExtraction(prompts, "1", "4"); },
       {{"lower", 1}, {"upper", 4}}, nullptr, true},
      {&kDissectionTreatment, Dissection("8"),
       {{"tiling", 0}, {"measure", 0}, {"window", 8}, {"palette", kColoredPalette}}},
      {&kDissection3DTreatment, Dissection("5"),
       {{"window", 5}, {"palette", kColoredPalette}}},
      {&kHeadwatersTreatment, [](TestPrompter& prompts) { AnswerHeadwaters(prompts, "3", 255); },
       {{"hws", 3}, {"scale", 255}}},
      {&kDrainageFractalTreatment,
       Dialog<TDrainageFractalDialog>("FractDrainageForm", [](TDrainageFractalDialog& f) {
         Choose(f, 12);
         Choose(f, 255);
         Place(f, ResultKind::kParameterImage);
         f.reject();  // closing it any way runs the treatment
       }),
       {{"mode", 1}, {"window", 12}, {"scale", 255}}},
      {&kRatioDepthTreatment,
       Both(WindowSize("5"), Dialog<TRatioOfDepthsDialog>("RatioDepthForm", [](TRatioOfDepthsDialog& f) {
              Choose(f, 100);
              Place(f, ResultKind::kParameterImage);
              f.accept();
            })),
       {{"window", 5}, {"scale", 100}}},
      // The network burnt into the parameter image the headwaters left.
      {&kIncrustTreatment, [](TestPrompter&) {}, {}},
      {&kGrayHistogramTreatment, {}, {}, kOwnHandler},
      {&kRender3dTreatment, {}, {},
       "the desktop's viewer drapes the picture shown over the DEM, seen with the user's camera"},
  };
  return rows;
}

void ExpectSameValues(const ValueGrid& shown, const ValueGrid& declared) {
  ASSERT_EQ(shown.columns, declared.columns);
  ASSERT_EQ(shown.lines, declared.lines);
  int differing = 0;
  for (std::size_t k = 0; k < shown.values.size(); ++k) {
    const float a = shown.values[k], b = declared.values[k];
    if (!(a == b || (std::isnan(a) && std::isnan(b))) && ++differing <= 5)
      ADD_FAILURE() << "cell " << k << ": " << a << " != " << b;
  }
  EXPECT_EQ(differing, 0);
}

class TreatmentParityTest : public MainFormTest {
 protected:
  void SetUp() override {
    MainFormTest::SetUp();
    dem = MakeDem(40, 30, [](int c, int l) {
      return 300 + ((c * 7 + l * 13) % 23) * 5 + (c == 20 && l == 15 ? 90 : 0);
    });
    // A void inside and a cell on the border.
    std::vector<std::uint8_t> valid(40 * 30, 1);
    for (int l = 8; l < 11; ++l)
      for (int c = 25; c < 28; ++c) valid[l * 40 + c] = 0;
    valid[5] = 0;
    ASSERT_TRUE(dem->SetValidity(std::move(valid)));
    main->InstallOpenedDem(dem, MakeGray(40, 30, [](int c, int) { return c; }), "/data/site_m2.raw");
    main->Session().SetDemScale(1, "90");
  }

  std::shared_ptr<TDemModel> dem;
};

TEST_F(TreatmentParityTest, EveryMenuTreatmentEqualsItsDeclaration) {
  // Every declaration has a row.
  ASSERT_EQ(Rows().size(), AllTreatments().size());
  for (const ParityRow& row : Rows()) {
    SCOPED_TRACE(row.treatment->id);
    if (row.disabled) continue;
    prompts.dialogs.clear();
    prompts.messages.clear();
    for (const char* diagram : {"DiagLocFractDimForm", "DiagDDForm", "DiagDD3DForm", "DiagFractDimForm"})
      prompts.dialogs[diagram] = Accept;
    row.answer(prompts);
    TreatmentArgs args;
    for (const auto& [name, value] : row.args) args.Set(name, value);
    if (row.treatment == &kPaletteTreatment) args.Set("margin", main->Session().Margin());
    auto declared = RunDeclaration(*row.treatment, dem.get(), ContextOf(*main), args,
                                   kOutputPicture | kOutputValues | kOutputFigures, nullptr);
    ASSERT_TRUE(declared) << declared.error().message;
    main->Session().SetResultValues({});

    const char* item = TreatmentMenuAction(*row.treatment);
    ASSERT_NE(item, nullptr);
    Trigger(item);

    if (row.treatment->Gives(kOutputPicture)) {
      const auto shown = row.network ? main->Session().DrainageRaster() : main->Session().ParameterImage();
      ASSERT_NE(shown, nullptr);
      testing::ExpectSameImage(*shown, *declared->output.picture);
    }
    if (row.treatment->Gives(kOutputValues) && !row.network && row.valuesShown) {
      const TResultValues& shown = main->Session().ResultValues();
      ASSERT_TRUE(shown);
      ExpectSameValues(*shown.grid, *declared->output.values);
    }
    if (row.treatment == &kGlobalFractalTreatment) {
      ASSERT_FALSE(prompts.messages.empty());
      const GlobalFractalResult figures{.dimension = declared->FigureValue("D"),
                                        .correlation = declared->FigureValue("r")};
      EXPECT_EQ(prompts.messages.back().text, QString::fromStdString(GlobalFractalMessage(figures)));
    }
  }
}

}  // namespace
}  // namespace orvane::test
