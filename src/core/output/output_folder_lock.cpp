#include "output_folder_lock.hpp"

#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <map>
#include <string_view>
#include <vector>

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
  const long pid = std::stol(pid_digits);
  if (pid <= 0) return false;
  return ::kill(static_cast<pid_t>(pid), 0) == 0 || errno == EPERM;
}

std::vector<std::string> ListNames(const std::string& folder) {
  std::vector<std::string> names;
  DIR* dir = ::opendir(folder.c_str());
  if (dir == nullptr) return names;
  while (const dirent* entry = ::readdir(dir)) names.emplace_back(entry->d_name);
  ::closedir(dir);
  return names;
}

bool Exists(const std::string& path) {
  return ::access(path.c_str(), F_OK) == 0;
}

// The layer a file belongs to: its name without the extension.
std::string Stem(const std::string& file) {
  return file.substr(0, file.rfind('.'));
}

}  // namespace

OutputFolderLock::~OutputFolderLock() {
  if (fd_ >= 0) ::close(fd_);
}

bool OutputFolderLock::TryLock(const std::string& folder) {
  fd_ = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd_ < 0) return true;
  if (::flock(fd_, LOCK_EX | LOCK_NB) == 0) return true;
  const bool busy = errno == EWOULDBLOCK;
  ::close(fd_);
  fd_ = -1;
  return !busy;
}

void ClearLeftovers(const std::string& folder) {
  // Backups of one layer from one run, by run and layer.
  std::map<std::pair<std::string, std::string>, std::vector<HiddenFile>> backups;
  for (const std::string& name : ListNames(folder)) {
    HiddenFile hidden;
    if (ParseTemporaryName(name, hidden)) {
      if (!IsRunning(hidden.pid)) std::remove((folder + name).c_str());
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
        std::rename(path.c_str(), (folder + file.file).c_str());
      } else {
        std::remove(path.c_str());
      }
    }
  }
}

}  // namespace pelmora
