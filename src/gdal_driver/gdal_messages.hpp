#pragma once
// The converter's warnings and errors as GDAL's errors: a warning becomes
// CPLError(CE_Warning), an error in the data CPLError(CE_Failure), each with
// the converter's text and the file and line it concerns. Nothing here
// throws: the host program that loaded the driver must never see an
// exception.
#include <string>

#include "core/conversion/observer.hpp"
#include "layer_walk.hpp"

namespace pelmora::gdal_driver {

// "<text> (<file> <line>行目)", the place as the converter's log shows it.
std::string WarningMessage(const Warning& warning);

// Reports the exception being handled (inside a catch block) as CE_Failure:
// a ConversionError with its message and place, anything else with its text.
void ReportCurrentException() noexcept;

// Hands every warning to CPLError(CE_Warning).
class CplWarnings : public WarningSink {
 public:
  void Warn(const Warning& warning) override;
};

// The same for the warnings of the area checks, made before any layer.
class CplWarningObserver : public ConversionObserver {
 public:
  void OnWarning(const Warning& warning) override;
};

}  // namespace pelmora::gdal_driver
