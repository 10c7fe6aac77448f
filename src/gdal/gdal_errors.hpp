#pragma once
// GDAL's errors and warnings, taken off its own printing: while a scope is
// alive on a thread, GDAL's failures are kept to be thrown as ConversionError
// naming the output file, and its warnings go to the layer's warnings.
#include <string>

#include "core/features/feature.hpp"

namespace pelmora::gdal {

// Makes GDAL quiet outside any scope; called once when the formats register.
void SilenceGdal();

class GdalErrorScope {
 public:
  // file_name: the output file as messages name it. warnings may be null
  // (GDAL's warnings are then dropped).
  GdalErrorScope(const std::string& file_name, WriterWarnings* warnings);
  ~GdalErrorScope();
  GdalErrorScope(const GdalErrorScope&) = delete;
  GdalErrorScope& operator=(const GdalErrorScope&) = delete;

  // Throws ConversionError for a failed GDAL call: `what` (what could not be
  // done, in the program's words), followed by GDAL's own message when it
  // gave one; the error's place is the output file.
  [[noreturn]] void Fail(const std::string& what) const;
  bool failed() const { return !last_error_.empty(); }

 private:
  static void Handle(int kind, int code, const char* message);

  const std::string& file_name_;
  WriterWarnings* warnings_;
  std::string last_error_;
};

}  // namespace pelmora::gdal
