#include "app/display/diagram_commands.h"

#include <QAction>

#include "app/display/diagram_forms.h"
#include "app/display/value_histogram_window.h"
#include "app/shell/workbench.h"
#include "app/shell/prompter.h"
#include "app/shell/treatment_menu.h"

namespace orvane {

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
  // The gray-level histogram is that of whatever parameter image is current when it paints.
  histoGris.SetSource([frame] {
    const auto image = frame->Session().ParameterImage();
    return image ? GrayLevelHistogram(*image, frame->Session().Margin()) : TGrayHistogram{};
  });

  // The value histogram counts the current result's value grid, whatever its picture is.
  valueHisto.SetSource([frame] { return frame->Session().ResultValues(); });

  auto opener = [](TDiagramForm& form) { return [&form] { Prompts().Exec(form); }; };
  ConnectAction(main, "GrayHisto1", &main, opener(histoGris));
  ConnectAction(main, "HistoGrSpeedButton", &main, opener(histoGris));
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
