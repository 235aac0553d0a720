// A treatment run through its declaration with the inputs a front end holds: the arguments
// completed with the declared defaults and checked, the inputs the treatment reads checked
// present, then its `run`. The desktop calls it on a worker thread with what it copied from the
// frame beforehand.
#pragma once

#include <memory>
#include <string>

#include "core/treatment/treatment.h"

namespace orvane {

struct DeclaredRun {
  const TreatmentDescriptor* treatment = nullptr;
  TreatmentArgs args;  // as run: completed with the declared defaults
  TreatmentOutput output;
  // The picture, as several holders share it.
  std::shared_ptr<TRasterImage> Picture();
  // The figure named `key` as a number (0 when absent).
  double FigureValue(const std::string& key) const;
};

// What a run reads besides the DEM, copied beforehand so that the worker reads nothing else.
struct DeclaredContext {
  std::shared_ptr<const TSettings> settings;
  int unitFactor = 1;
  double pixelMetres = 0.0;  // P as typed, in metres
  int wholeMetres = 0;       // trunc(P)
  std::shared_ptr<TRasterImage> drainage;  // the network treatments' input, when one is loaded
  std::shared_ptr<TRasterImage> parameter;  // the current parameter image, when there is one
};

// `treatment` run on `dem` with `args` (completed with the declared defaults and checked),
// asking for `wanted` among what it gives. `dem` may be null for the treatments that read no
// DEM; a missing input the treatment reads is an error.
Expected<DeclaredRun> RunDeclaration(const TreatmentDescriptor& treatment, const TDemModel* dem,
                                     const DeclaredContext& context, TreatmentArgs args,
                                     unsigned wanted, ProgressSink* progress);

}  // namespace orvane
