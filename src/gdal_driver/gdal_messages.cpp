#include "gdal_messages.hpp"

#include <cpl_error.h>

#include <exception>

#include "core/errors.hpp"

namespace pelmora::gdal_driver {
namespace {

std::string WithPlace(std::string text, const std::string_view file, int line) {
  if (file.empty()) return text;
  text.append(" (").append(file);
  if (line > 0) text.append(" ").append(std::to_string(line)).append("行目");
  text.append(")");
  return text;
}

}  // namespace

std::string WarningMessage(const Warning& warning) {
  return WithPlace(std::string(warning.text), warning.file, warning.line);
}

void ReportCurrentException() noexcept {
  try {
    try {
      throw;
    } catch (const ConversionError& e) {
      const std::string text = WithPlace(WithFinalPeriod(e.what()), e.file(), e.line());
      CPLError(CE_Failure, CPLE_AppDefined, "%s", text.c_str());
    } catch (const std::exception& e) {
      CPLError(CE_Failure, CPLE_AppDefined, "%s", WithFinalPeriod(e.what()).c_str());
    } catch (...) {
      CPLError(CE_Failure, CPLE_AppDefined, "予期しないエラーが発生しました。");
    }
  } catch (...) {
    // Even the text could not be made (no memory left): the failure stays
    // unreported rather than end the host program.
  }
}

void CplWarnings::Warn(const Warning& warning) {
  CPLError(CE_Warning, CPLE_AppDefined, "%s", WarningMessage(warning).c_str());
}

void CplWarningObserver::OnWarning(const Warning& warning) {
  CPLError(CE_Warning, CPLE_AppDefined, "%s", WarningMessage(warning).c_str());
}

}  // namespace pelmora::gdal_driver
