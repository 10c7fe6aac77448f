#include "output_folder_lock.hpp"

#include <cerrno>
#include <map>
#include <string_view>
#include <vector>

#include "../io/file_faults.hpp"
#include "../platform/system.hpp"
#include "staged_files.hpp"

namespace pelmora {
namespace {

bool IsDigits(std::string_view text) {
  if (text.empty()) return false;
  for (char ch : text) {
    if (ch < '0' || ch > '9') return false;
  }
  return true;
}

// A hidden name ".<file>.<pid>-<n><suffix>" as StagedFiles makes it.
struct HiddenFile {
  std::string name;  // as found in the folder
  std::string file;  // the name it stands for
  std::string pid;
};

bool ParseHiddenName(const std::string& name, std::string_view suffix, HiddenFile& out) {
  if (name.size() <= suffix.size() + 1 || name[0] != '.' || !name.ends_with(suffix)) return false;
  const std::string_view rest(name.data() + 1, name.size() - 1 - suffix.size());
  const size_t dot = rest.rfind('.');
  if (dot == std::string_view::npos || dot == 0) return false;
  const std::string_view numbers = rest.substr(dot + 1);
  const size_t dash = numbers.find('-');
  if (dash == std::string_view::npos || !IsDigits(numbers.substr(0, dash)) ||
      !IsDigits(numbers.substr(dash + 1))) {
    return false;
  }
  out = {name, std::string(rest.substr(0, dot)), std::string(numbers.substr(0, dash))};
  return true;
}

// A temporary name, possibly with the ending a library appended to it (a
// GeoPackage's "-journal", a Shapefile's ".dbf"; the ending may hold ".tmp"
// itself, as GDAL's ".tmp_rtree_<table>.db" does).
bool ParseTemporaryName(const std::string& name, HiddenFile& out) {
  for (size_t at = name.find(kTemporarySuffix); at != std::string::npos;
       at = name.find(kTemporarySuffix, at + 1)) {
    const size_t end = at + kTemporarySuffix.size();
    if (end < name.size() && !IsLibraryEnding(std::string_view(name).substr(end))) continue;
    if (!ParseHiddenName(name.substr(0, end), kTemporarySuffix, out)) continue;
    out.name = name;
    return true;
  }
  return false;
}

// Whether the process that made a hidden name still runs: its files are
// then its own business (the folder lock keeps runs apart, but a run that
// did not take it, or another path to the same folder, must not lose files
// under its feet).
bool IsRunning(const std::string& pid_digits) {
  if (pid_digits.size() > 9) return false;  // beyond any process id
  return platform::IsProcessRunning(std::stol(pid_digits));
}

std::vector<std::string> ListNames(const std::string& folder) {
  std::vector<platform::FolderEntry> entries;
  platform::ListFolder(folder, entries);
  std::vector<std::string> names;
  for (platform::FolderEntry& entry : entries) names.push_back(std::move(entry.name));
  return names;
}

int Remove(const std::string& path) {
  if (int fault = InjectedFault(FileOp::kRemove, path)) return fault;
  return platform::RemoveFile(path);
}

int Rename(const std::string& from, const std::string& to) {
  if (int fault = InjectedFault(FileOp::kRename, to)) return fault;
  return platform::RenameReplacing(from, to);
}

bool Exists(const std::string& path) {
  return platform::KindOf(path) != platform::PathKind::kMissing;
}

// The layer a file belongs to: its name without the extension.
std::string Stem(const std::string& file) {
  return file.substr(0, file.rfind('.'));
}

}  // namespace

OutputFolderLock::~OutputFolderLock() {
  platform::UnlockFolder(lock_);
}

OutputFolderLock::State OutputFolderLock::Lock(const std::string& folder) {
  platform::UnlockFolder(lock_);
  lock_ = platform::kNoFile;
  if (int fault = InjectedFault(FileOp::kLock, folder)) {
    error_ = fault;
    return fault == EWOULDBLOCK ? State::kHeld : State::kUnavailable;
  }
  switch (platform::LockFolder(folder, lock_, error_)) {
    case platform::LockResult::kTaken:
      return State::kTaken;
    case platform::LockResult::kHeld:
      return State::kHeld;
    case platform::LockResult::kNoFolder:
      return State::kNotOpened;
    case platform::LockResult::kUnavailable:
      break;
  }
  return State::kUnavailable;
}

bool OutputFolderLock::TryLock(const std::string& folder) {
  return Lock(folder) != State::kHeld;
}

void ClearLeftovers(const std::string& folder) {
  ClearLeftoversReporting(folder);
}

std::vector<LeftoverFailure> ClearLeftoversReporting(const std::string& folder) {
  std::vector<LeftoverFailure> failures;
  auto note = [&failures](const std::string& path, int code) {
    if (code != 0) failures.push_back({path, code});
  };
  // Backups of one layer from one run, by run and layer.
  std::map<std::pair<std::string, std::string>, std::vector<HiddenFile>> backups;
  for (const std::string& name : ListNames(folder)) {
    HiddenFile hidden;
    if (ParseTemporaryName(name, hidden)) {
      if (!IsRunning(hidden.pid)) note(folder + name, Remove(folder + name));
    } else if (ParseHiddenName(name, kBackupSuffix, hidden)) {
      if (!IsRunning(hidden.pid)) backups[{hidden.pid, Stem(hidden.file)}].push_back(hidden);
    }
  }
  for (const auto& [key, files] : backups) {
    bool incomplete = false;
    for (const HiddenFile& file : files) incomplete = incomplete || !Exists(folder + file.file);
    for (const HiddenFile& file : files) {
      const std::string path = folder + file.name;
      if (incomplete) {
        note(path, Rename(path, folder + file.file));
      } else {
        note(path, Remove(path));
      }
    }
  }
  return failures;
}

}  // namespace pelmora
