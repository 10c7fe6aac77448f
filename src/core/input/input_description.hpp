#pragma once
// The input of a run, listed once before anything is checked or converted:
// the area subfolders of every map-data folder in the order the run reaches
// them, the files each area holds of those the layers read, and what each
// map-sheet file says of its zone and frame. The checks, the area warnings,
// the progress total, the layers' walk over the areas and the choice of the
// data's own zone all read this one listing, so that they see the same areas
// and files.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace pelmora {

// The line of the map-sheet file that names the zone (field 1) and holds
// the frame (fields 2 to 5), 1-based.
inline constexpr int kSheetZoneLine = 7;

struct DescribedFile {
  std::string relative;  // as the layer table names it, e.g. "road/roadntwk.arc"
  std::string path;      // the path found (names resolved without regard to letter case)
  uint64_t size = 0;     // bytes
};

// The frame of a map sheet in plane metres, as the frame layer writes it.
struct SheetFrame {
  double min_x, min_y, max_x, max_y;
};

struct AreaDescription {
  size_t folder_index = 0;  // which map-data folder (index into the list given)
  std::string map_folder;   // that folder, as given
  std::string name;         // the area subfolder's name, e.g. "13101"
  std::string path;         // map_folder joined with name
  // Every input or companion file of the layer table that the area holds,
  // the map-sheet file named "<name>.txt".
  std::vector<DescribedFile> files;
  // Line 7, field 1 of the map-sheet file, bytes as they stand; nothing when
  // the area has no map-sheet file, it cannot be read or has fewer lines.
  std::optional<std::string> zone_field;
  std::optional<int> zone;          // 1..19 when zone_field names a zone
  std::optional<SheetFrame> frame;  // from the map-sheet file, when readable

  const DescribedFile* Find(std::string_view relative) const;  // nullptr when absent
  // The relative path of the map-sheet file: "<name>.txt".
  std::string SheetFile() const { return name + ".txt"; }
};

// One map-data folder as the listing found it.
struct DescribedFolder {
  std::string folder;      // as given
  bool is_folder = false;  // exists and is a folder
  // The system's error code when the folder could not be listed, else 0.
  int listing_error = 0;
};

struct InputDescription {
  std::vector<AreaDescription> areas;    // in run order: folder list order, then listing order
  std::vector<DescribedFolder> folders;  // one per map-data folder, in list order

  // The areas of folders[folder_index], in listing order.
  std::span<const AreaDescription> AreasOf(size_t folder_index) const;
};

// Lists every map-data folder once, looking in each area for the files the
// layer table names (input and companion files, and the map-sheet file).
// Touches no file for writing; never throws for a folder that is missing or
// cannot be listed (the checks and the layers report those). Defined beside
// the layer table (conversion/describe_input.cpp), which names the files.
InputDescription DescribeInput(const std::vector<std::string>& map_folders);

// The same for a given list of files relative to an area folder (the
// map-sheet file is always looked for).
InputDescription DescribeFolders(const std::vector<std::string>& map_folders,
                                 std::span<const std::string_view> area_files);

// Throws the error that listing the folder gave (an IoError placed at the
// folder), as the layers report a folder they cannot walk.
[[noreturn]] void ThrowListingError(const DescribedFolder& folder);

}  // namespace pelmora
