#include "input_description.hpp"

#include <algorithm>
#include <cmath>

#include "../errors.hpp"
#include "../io/output_file.hpp"
#include "../text/fields.hpp"
#include "../text/numbers.hpp"
#include "area_folder.hpp"
#include "input_file.hpp"

namespace pelmora {
namespace {

// Japan's plane rectangular coordinate system has 19 zones.
constexpr int kZoneCount = 19;

// A map-sheet file shorter than this holds no frame (the frame layer skips it).
constexpr size_t kSheetMinLines = 10;

std::optional<double> Coordinate(std::string_view field) {
  const std::optional<double> value = TryStrToFloat(field);
  if (!value || !std::isfinite(*value)) return std::nullopt;
  return value;
}

// The frame as the frame layer draws it: x from fields 3 and 5, y from
// fields 2 and 4.
std::optional<SheetFrame> FrameOf(const FieldSplitter& fields) {
  const auto x1 = Coordinate(fields[3]), y1 = Coordinate(fields[2]);
  const auto x2 = Coordinate(fields[5]), y2 = Coordinate(fields[4]);
  if (!x1 || !y1 || !x2 || !y2) return std::nullopt;
  return SheetFrame{std::min(*x1, *x2), std::min(*y1, *y2), std::max(*x1, *x2), std::max(*y1, *y2)};
}

// Reads the zone and the frame from the area's map-sheet file; an unreadable
// file leaves them unset (the frame layer, when chosen, reports it).
void ReadSheet(const std::string& path, AreaDescription& area) {
  InputFile file;
  try {
    file.Load(path);
  } catch (const ConversionError&) {
    return;
  }
  if (file.LineCount() < static_cast<size_t>(kSheetZoneLine)) return;
  FieldSplitter fields;
  fields.Split(file.Line(kSheetZoneLine - 1));
  area.zone_field = std::string(fields[1]);
  if (const std::optional<int32_t> zone = TryStrToInt(fields[1]);
      zone && *zone >= 1 && *zone <= kZoneCount) {
    area.zone = *zone;
  }
  if (file.LineCount() >= kSheetMinLines) area.frame = FrameOf(fields);
}

void AddFile(AreaDescription& area, std::string relative) {
  std::optional<std::string> path = ResolveFile(area.path, relative);
  if (!path) return;
  const uint64_t size = FileSizeOrZero(*path);
  area.files.push_back({std::move(relative), std::move(*path), size});
}

AreaDescription DescribeArea(size_t folder_index, const std::string& map_folder, std::string name,
                             std::span<const std::string_view> area_files) {
  AreaDescription area;
  area.folder_index = folder_index;
  area.map_folder = map_folder;
  area.path = JoinPath(map_folder, name);
  area.name = std::move(name);
  for (std::string_view relative : area_files) AddFile(area, std::string(relative));
  AddFile(area, area.SheetFile());
  if (const DescribedFile* sheet = area.Find(area.SheetFile())) ReadSheet(sheet->path, area);
  return area;
}

}  // namespace

const DescribedFile* AreaDescription::Find(std::string_view relative) const {
  for (const DescribedFile& file : files) {
    if (file.relative == relative) return &file;
  }
  return nullptr;
}

std::span<const AreaDescription> InputDescription::AreasOf(size_t folder_index) const {
  size_t begin = 0;
  while (begin < areas.size() && areas[begin].folder_index < folder_index) ++begin;
  size_t end = begin;
  while (end < areas.size() && areas[end].folder_index == folder_index) ++end;
  return std::span<const AreaDescription>(areas).subspan(begin, end - begin);
}

InputDescription DescribeFolders(const std::vector<std::string>& map_folders,
                                 std::span<const std::string_view> area_files) {
  InputDescription input;
  for (size_t i = 0; i < map_folders.size(); ++i) {
    DescribedFolder& folder = input.folders.emplace_back();
    folder.folder = map_folders[i];
    folder.is_folder = IsFolder(folder.folder);
    std::vector<std::string> names;
    try {
      names = ListSubfolders(folder.folder);
    } catch (const IoError& e) {
      folder.listing_error = e.code();
    }
    for (std::string& name : names) {
      input.areas.push_back(DescribeArea(i, folder.folder, std::move(name), area_files));
    }
  }
  return input;
}

void ThrowListingError(const DescribedFolder& folder) {
  ThrowIoError(folder.listing_error, folder.folder);
}

}  // namespace pelmora
