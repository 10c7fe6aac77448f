#pragma once
// A writer's steps after the last feature, reported in parts: each part of
// the work (completing a buffer, copying rows, building an index) takes its
// range of the share that the writer declared (WriterProgress).
#include <functional>

#include "core/features/feature.hpp"

namespace pelmora::gdal {

// A step of the work: called with how far the part is (0 to 1); it may
// throw ConversionCancelled to stop.
using FinishingStep = std::function<void(double)>;

// The part [from, to] of the layer's finishing steps; does nothing without
// progress.
inline FinishingStep FinishingPart(WriterProgress* progress, double from, double to) {
  if (progress == nullptr) return [](double) {};
  return [=](double done) { progress->Finishing(from + (to - from) * done); };
}

}  // namespace pelmora::gdal
