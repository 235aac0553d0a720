#include "app/display/diagram_commands.h"

#include <QAction>
#include <optional>

#include "app/display/diagram_forms.h"
#include "app/display/value_histogram_window.h"
#include "app/shell/workbench.h"
#include "app/shell/declared_treatment.h"
#include "app/shell/prompter.h"
#include "app/shell/treatment_menu.h"
#include "core/treatment/treatment_registry.h"

namespace orvane {

namespace {

// The gray-level counts of the current parameter image inside its margin, counted by the
// gray-histogram declaration (none without an image); empty after a cancel or a failed run.
std::optional<TGrayHistogram> ParameterGrayHistogram(TWorkbench& main) {
  if (!main.Session().ParameterImage()) return TGrayHistogram{};
  TreatmentArgs args;
  args.Set("margin", main.Session().Margin());
  const auto run = RunDeclaredTreatment(main, kGrayHistogramTreatment, args, kOutputHistogram);
  if (!run) return std::nullopt;
  // The declaration gives its "gray<TAB>count" rows, one per gray value.
  TGrayHistogram counts{};
  const QStringList rows = QString::fromStdString(run->output.histogram).split("\r\n", Qt::SkipEmptyParts);
  for (const QString& row : rows) {
    const QStringList cells = row.split('\t');
    const int gray = cells.value(0).toInt();
    if (cells.size() == 2 && gray >= 0 && gray < 256) counts[static_cast<std::size_t>(gray)] = cells[1].toInt();
  }
  return counts;
}

}  // namespace

void InstallDiagramCommands(TWorkbench& main) {
  auto& histoGris = DiagramWindow<TGrayHistogramWindow>(main);
  auto& histDir = DiagramWindow<TDirectionHistogramWindow>(main);
  auto& diagDD = DiagramWindow<TDissectionDiagram>(main);
  auto& diagDD3D = DiagramWindow<TDissection3DDiagram>(main);
  auto& fractDim = DiagramWindow<TDrainageFractalDiagram>(main);
  auto& locFract = DiagramWindow<TLocalFractalDiagram>(main);
  auto& valueHisto = DiagramWindow<TValueHistogramWindow>(main);
  TWorkbench* frame = &main;
  for (TDiagramForm* form : std::initializer_list<TDiagramForm*>{&histoGris, &histDir, &diagDD, &diagDD3D,
                                                                 &fractDim, &locFract, &valueHisto}) {
    form->SetDirectorySource([frame] { return frame->ImageDirectory(); });
  }

  // The value histogram counts the current result's value grid, whatever its picture is.
  valueHisto.SetSource([frame] { return frame->Session().ResultValues(); });

  auto opener = [](TDiagramForm& form) { return [&form] { Prompts().Exec(form); }; };
  // The gray-level histogram is that of the parameter image current when it opens.
  auto openGray = [frame, &histoGris] {
    const auto counts = ParameterGrayHistogram(*frame);
    if (!counts) return;
    histoGris.SetCounts(*counts);
    Prompts().Exec(histoGris);
  };
  ConnectAction(main, "GrayHisto1", &main, openGray);
  ConnectAction(main, "HistoGrSpeedButton", &main, openGray);
  ConnectAction(main, "ValueHisto1", &main, opener(valueHisto));
  ConnectAction(main, "AspectSpeedButton", &main, opener(histDir));
  // The frame connects the Diagram button and the Diagram submenu items to these.
  main.RegisterDiagram(DiagramKind::kLocalFractal, opener(locFract));
  main.RegisterDiagram(DiagramKind::kDissectionDensity, opener(diagDD));
  main.RegisterDiagram(DiagramKind::kDissectionDensity3D, opener(diagDD3D));
  main.RegisterDiagram(DiagramKind::kDrainageFractalDimension, opener(fractDim));
  // Every treatment hides the direction histogram when it starts.
  QObject::connect(&main, &TWorkbench::TreatmentStarting, &histDir, &QWidget::hide);
}

}  // namespace orvane
