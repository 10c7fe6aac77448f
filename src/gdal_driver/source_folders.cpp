#include "source_folders.hpp"

#include "core/conversion/layer_table.hpp"
#include "core/input/area_folder.hpp"

namespace pelmora::gdal_driver {
namespace {

std::string_view WithoutTrailingSlashes(std::string_view path) {
  while (path.size() > 1 && path.back() == '/') path.remove_suffix(1);
  return path;
}

// The first component of a path of the layer table: its theme folder.
std::string_view ThemeFolder(std::string_view input_path) {
  return input_path.substr(0, input_path.find('/'));
}

bool HasThemeFolder(const std::string& folder) {
  for (const std::string& sub : ListSubfoldersOrNone(folder)) {
    for (const LayerDef& layer : LayerTable()) {
      if (!layer.input_path.empty() && EqualsIgnoreCase(sub, ThemeFolder(layer.input_path))) {
        return true;
      }
    }
  }
  return false;
}

}  // namespace

bool HasConnectionPrefix(std::string_view connection) {
  return connection.size() >= kConnectionPrefix.size() &&
         EqualsIgnoreCase(connection.substr(0, kConnectionPrefix.size()), kConnectionPrefix);
}

std::vector<std::string> SplitConnection(std::string_view connection) {
  if (HasConnectionPrefix(connection)) connection.remove_prefix(kConnectionPrefix.size());
  std::vector<std::string> folders;
  while (!connection.empty()) {
    const size_t end = connection.find(kFolderSeparator);
    std::string_view piece = connection.substr(0, end);
    if (!piece.empty()) folders.emplace_back(piece);
    if (end == std::string_view::npos) break;
    connection.remove_prefix(end + 1);
  }
  return folders;
}

// GDAL asks every driver about every folder a program opens: a folder without
// a theme folder is ruled out with one listing, before its files are looked
// for one by one.
bool IsAreaFolder(const std::string& folder) {
  const std::string_view path = WithoutTrailingSlashes(folder);
  const size_t slash = path.rfind('/');
  const std::string_view name = slash == std::string_view::npos ? path : path.substr(slash + 1);
  if (!name.empty() && ResolveFile(folder, std::string(name) + ".txt")) return true;
  if (!HasThemeFolder(folder)) return false;
  for (const LayerDef& layer : LayerTable()) {
    if (!layer.input_path.empty() && ResolveFile(folder, layer.input_path)) return true;
  }
  return false;
}

bool IsMapDataFolder(const std::string& folder) {
  for (const std::string& area : ListSubfoldersOrNone(folder)) {
    if (IsAreaFolder(JoinPath(folder, area))) return true;
  }
  return false;
}

std::optional<SourceFolder> RecogniseFolder(const std::string& folder) {
  if (IsAreaFolder(folder)) {
    const std::string_view path = WithoutTrailingSlashes(folder);
    const size_t slash = path.rfind('/');
    if (slash == std::string_view::npos) return SourceFolder{".", std::string(path)};
    std::string parent(path.substr(0, slash == 0 ? 1 : slash));
    return SourceFolder{std::move(parent), std::string(path.substr(slash + 1))};
  }
  if (IsMapDataFolder(folder)) return SourceFolder{folder, std::nullopt};
  return std::nullopt;
}

}  // namespace pelmora::gdal_driver
