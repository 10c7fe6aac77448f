#pragma once
// An output named like one file of a format that writes a file per layer
// (roads.shp): such a format fills a folder, and the user is told the
// command that asks for it.
#include <string>
#include <vector>

namespace pelmora::cli {

// The message for -o output when it ends with the extension of a per-layer
// format (.shp, .geojson, .fgb) and is no existing folder, unless -f chose
// another format; empty otherwise. folders are the map-data folders given,
// for the command it proposes.
std::string PerLayerFileProblem(const std::string& output, const std::string& format_given,
                                const std::vector<std::string>& folders);

}  // namespace pelmora::cli
