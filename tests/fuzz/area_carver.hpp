#pragma once
// The layout of an area fuzz input: sections separated by the line "@@",
// written in order to the files of one area subfolder named 13101 (the
// map-sheet file first, then the arc, polygon, point and attribute files of
// the layer table). An empty section leaves its file out; sections after the
// last file are ignored. tests/fuzz/pack-area builds such an input from a
// real area folder.
#include <filesystem>
#include <string_view>

namespace pelmora::fuzz {

inline constexpr std::string_view kAreaName = "13101";
inline constexpr std::string_view kSectionBreak = "\n@@\n";

// Writes the area subfolder kAreaName into map_folder (created as needed).
void WriteCarvedArea(std::string_view input, const std::filesystem::path& map_folder);

}  // namespace pelmora::fuzz
