#pragma once
// What a GDAL connection string names: one or more map-data folders (one
// subfolder per area) or single area folders, recognised by the files the
// layer table reads, names compared without regard to letter case as the
// converter compares them.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace pelmora::gdal_driver {

// The prefix that makes the driver take a connection string without
// looking at it first ("DM2500:", letter case ignored).
inline constexpr std::string_view kConnectionPrefix = "DM2500:";
// Between the folders of one connection string.
inline constexpr char kFolderSeparator = ';';

// One folder of a connection string, as the converter would be given it.
struct SourceFolder {
  std::string map_folder;
  // For a single area folder: its name inside map_folder (its parent), the
  // one area read from there.
  std::optional<std::string> only_area;
};

// Whether the connection string begins with kConnectionPrefix.
bool HasConnectionPrefix(std::string_view connection);

// The folders of a connection string: without the prefix, split at
// kFolderSeparator, empty pieces left out.
std::vector<std::string> SplitConnection(std::string_view connection);

// Whether folder holds an input file of the layer table or its own map-sheet
// file ("<name>.txt").
bool IsAreaFolder(const std::string& folder);
// Whether one of folder's subfolders is an area folder.
bool IsMapDataFolder(const std::string& folder);

// folder as the converter takes it: an area folder as its parent with the
// area, a map-data folder as it is; nothing for a folder that is neither.
std::optional<SourceFolder> RecogniseFolder(const std::string& folder);

}  // namespace pelmora::gdal_driver
