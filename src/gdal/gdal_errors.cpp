#include "gdal_errors.hpp"

#include <cpl_error.h>

#include "core/errors.hpp"

namespace pelmora::gdal {
namespace {

void CPL_STDCALL Quiet(CPLErr, CPLErrorNum, const char*) {}

}  // namespace

void SilenceGdal() {
  CPLSetErrorHandler(Quiet);
}

GdalErrorScope::GdalErrorScope(const std::string& file_name, WriterWarnings* warnings)
    : file_name_(file_name), warnings_(warnings) {
  CPLPushErrorHandlerEx(
      [](CPLErr kind, CPLErrorNum code, const char* message) {
        Handle(static_cast<int>(kind), static_cast<int>(code), message);
      },
      this);
}

GdalErrorScope::~GdalErrorScope() {
  CPLPopErrorHandler();
}

void GdalErrorScope::Handle(int kind, int, const char* message) {
  auto* scope = static_cast<GdalErrorScope*>(CPLGetErrorHandlerUserData());
  if (scope == nullptr || message == nullptr) return;
  if (kind >= CE_Failure) {
    // The first failure is the cause; later ones follow from it.
    if (scope->last_error_.empty()) scope->last_error_ = message;
  } else if (kind == CE_Warning && scope->warnings_ != nullptr) {
    scope->warnings_->Warn(std::string("GDAL: ") + message, {scope->file_name_, 0});
  }
}

void GdalErrorScope::Fail(const std::string& what) const {
  ConversionError error(last_error_.empty() ? what : what + " (GDAL: " + last_error_ + ")");
  error.SetPlace(file_name_, 0);
  throw error;
}

}  // namespace pelmora::gdal
