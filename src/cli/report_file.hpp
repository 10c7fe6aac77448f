#pragma once
// The run report as a JSON file (--report FILE.json): the settings, each
// layer's files and features, every warning with its place, the outcome and
// the times.
#include <string>

#include "options.hpp"
#include "run_record.hpp"

namespace pelmora::cli {

// The report's text: a JSON object, UTF-8 (bytes of paths that are not UTF-8
// become U+FFFD), indented by two blanks, ending with a line break.
std::string ReportJson(const Options& options, const RunRecord& record);

// Writes the report under a temporary name beside path and renames it over
// path, so that path holds a whole report or what it held before. Throws
// ConversionError naming the file.
void WriteReportFile(const std::string& path, const std::string& json);

}  // namespace pelmora::cli
