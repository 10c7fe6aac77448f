#pragma once
// The check of a run's output before any file is touched, and its message:
// the path at fault and why, with the output named as what it is for the
// format (the folder of MIF/MID pairs, the GeoPackage file, ...).
#include <string>

#include "settings.hpp"

namespace pelmora {

enum class OutputFault {
  kNone,
  kNotGiven,     // no folder, or a one-file format without a file name
  kMissing,      // the folder does not exist
  kIsFile,       // a file stands where a folder is needed
  kNotFolder,    // something else than a folder stands there
  kNotWritable,  // the folder takes no new files
  kIsFolder,     // a one-file format's file is a folder
};

struct OutputCheck {
  OutputFault fault = OutputFault::kNone;
  std::string path;  // what the message names
  int error = 0;     // the system's error code behind kNotWritable
};

// Checks the settings' output folder (and, for a format that writes one
// file, that the file's name is free of a folder). Settings that carry their
// own writers write nothing there: for them only the folder must exist.
OutputCheck CheckOutput(const ConversionSettings& settings);

// The warning for a fault: a first line that names the output for the
// settings' format ("MIFの出力先フォルダが不正です。" for MIF, as the window has
// always said it; "GeoPackageの出力先ファイルが不正です。" for a format of one
// file), then a line with the path and the reason.
std::string OutputProblemMessage(const ConversionSettings& settings, const OutputCheck& check);

// The warning that another run writes into the output folder, the output
// named for the settings' format.
std::string OutputBusyMessage(const ConversionSettings& settings, const std::string& folder);

// How a format is named in messages: the part of its description before
// ": " ("GeoPackage", "Shapefile"), or its name.
std::string FormatLabel(std::string_view format_name);

}  // namespace pelmora
