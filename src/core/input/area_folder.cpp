#include "area_folder.hpp"

#include <algorithm>

#include "../errors.hpp"
#include "../io/file_faults.hpp"
#include "../io/output_file.hpp"
#include "../platform/files.hpp"

namespace pelmora {
namespace {

char FoldCase(char c) {
  return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool LessIgnoreCaseThenBytes(const std::string& a, const std::string& b) {
  size_t n = std::min(a.size(), b.size());
  for (size_t i = 0; i < n; ++i) {
    auto ca = static_cast<unsigned char>(FoldCase(a[i]));
    auto cb = static_cast<unsigned char>(FoldCase(b[i]));
    if (ca != cb) return ca < cb;
  }
  if (a.size() != b.size()) return a.size() < b.size();
  return a < b;
}

enum class EntryType { kMissing, kDirectory, kOther };

EntryType TypeOf(const std::string& path) {
  switch (platform::KindOf(path)) {
    case platform::PathKind::kMissing:
      return EntryType::kMissing;
    case platform::PathKind::kFolder:
      return EntryType::kDirectory;
    default:
      return EntryType::kOther;
  }
}

// Names in folder (without "." and ".."); empty when it cannot be read.
std::vector<std::string> ReadNames(const std::string& folder) {
  std::vector<platform::FolderEntry> entries;
  platform::ListFolder(folder, entries);
  std::vector<std::string> names;
  names.reserve(entries.size());
  for (platform::FolderEntry& entry : entries) names.push_back(std::move(entry.name));
  return names;
}

// The entries of folder that stand for name: the exact-case name first,
// then every other spelling of it in byte order.
std::vector<std::string> Candidates(const std::string& folder, std::string_view name) {
  std::vector<std::string> found;
  std::string exact = JoinPath(folder, name);
  if (TypeOf(exact) != EntryType::kMissing) found.push_back(exact);
  std::vector<std::string> names = ReadNames(folder);
  std::sort(names.begin(), names.end());
  for (const std::string& candidate : names) {
    if (candidate != name && EqualsIgnoreCase(candidate, name)) {
      found.push_back(JoinPath(folder, candidate));
    }
  }
  return found;
}

// Resolves relative inside folder, trying each spelling of a folder in turn
// until one holds the rest of the path.
std::optional<std::string> Resolve(const std::string& folder, std::string_view relative) {
  size_t slash = relative.find('/');
  const bool last = slash == std::string_view::npos;
  std::string_view name = relative.substr(0, slash);
  const EntryType wanted = last ? EntryType::kOther : EntryType::kDirectory;
  // The common case, an exact-case path, costs no folder listing.
  std::string exact = JoinPath(folder, name);
  if (TypeOf(exact) == wanted) {
    if (last) return exact;
    if (auto found = Resolve(exact, relative.substr(slash + 1))) return found;
  }
  for (const std::string& path : Candidates(folder, name)) {
    if (path == exact || TypeOf(path) != wanted) continue;
    if (last) return path;
    if (auto found = Resolve(path, relative.substr(slash + 1))) return found;
  }
  return std::nullopt;
}

}  // namespace

bool EqualsIgnoreCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (FoldCase(a[i]) != FoldCase(b[i])) return false;
  }
  return true;
}

std::string JoinPath(std::string_view folder, std::string_view name) {
  std::string path(folder);
  const char separator = platform::PreferredSeparator();
  if (!path.empty() && !platform::IsSeparator(path.back())) path += separator;
  // The table's relative names ("road/road.atr") in the system's form.
  for (char c : name) path += c == '/' ? separator : c;
  return path;
}

bool IsFolder(const std::string& path) {
  return !path.empty() && TypeOf(path) == EntryType::kDirectory;
}

uint64_t FileSizeOrZero(const std::string& path) {
  return platform::SizeOf(path).value_or(0);
}

std::vector<std::string> ListSubfolders(const std::string& map_folder) {
  if (int fault = InjectedFault(FileOp::kListFolder, map_folder)) ThrowIoError(fault);
  std::vector<platform::FolderEntry> entries;
  if (int code = platform::ListFolder(map_folder, entries)) ThrowIoError(code);
  std::vector<std::string> names;
  for (platform::FolderEntry& entry : entries) {
    if (entry.hidden || entry.name.empty()) continue;
    if (entry.folder ||
        (entry.ask && TypeOf(JoinPath(map_folder, entry.name)) == EntryType::kDirectory)) {
      names.push_back(std::move(entry.name));
    }
  }
  std::sort(names.begin(), names.end(), LessIgnoreCaseThenBytes);
  return names;
}

std::vector<std::string> ListSubfoldersOrNone(const std::string& map_folder) {
  try {
    return ListSubfolders(map_folder);
  } catch (const ConversionError&) {
    return {};
  }
}

std::optional<std::string> ResolveFile(const std::string& folder, std::string_view relative) {
  return Resolve(folder, relative);
}

std::string ResolveFileOrJoin(const std::string& folder, std::string_view relative) {
  auto found = ResolveFile(folder, relative);
  return found ? *found : JoinPath(folder, relative);
}

}  // namespace pelmora
