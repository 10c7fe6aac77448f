#include "staged_files.hpp"

#include <atomic>
#include <cerrno>

#include "../errors.hpp"
#include "../io/file_faults.hpp"
#include "../platform/files.hpp"
#include "../platform/system.hpp"

namespace pelmora {
namespace {

// A hidden name beside the final file, unique within this process and
// across processes: ".<name>.<pid>-<n>" and the suffix (kTemporarySuffix
// for a file being written, kBackupSuffix for an older file set aside while
// a layer's files take their names).
std::string HiddenName(const std::string& folder, std::string_view file_name,
                       std::string_view suffix) {
  static std::atomic<unsigned> counter{0};
  return folder + "." + std::string(file_name) + "." + std::to_string(platform::ProcessId()) + "-" +
         std::to_string(counter++) + std::string(suffix);
}

bool IsAsciiAlnum(char ch) {
  return (ch >= 'a' && ch <= 'z') || (ch >= 'A' && ch <= 'Z') || (ch >= '0' && ch <= '9');
}

void RemoveQuietly(const std::string& path) {
  if (!path.empty()) platform::RemoveFile(path);
}

// The name of an output file in messages: the output folder is the user's
// own choice, so the file name alone says which layer failed.
std::string FileName(const std::string& path) {
  size_t at = path.size();
  while (at > 0 && !platform::IsSeparator(path[at - 1])) --at;
  return path.substr(at);
}

bool IsFolder(const std::string& path) {
  return platform::IsFolderNotLink(path);
}

// Renames from to to; returns false when from does not exist.
bool RenameOver(const std::string& from, const std::string& to, const std::string& name) {
  if (int fault = InjectedFault(FileOp::kRename, to)) ThrowIoError(fault, name);
  const int code = platform::RenameReplacing(from, to);
  if (code == 0) return true;
  if (code == ENOENT) return false;
  ThrowIoError(code, name);
}

}  // namespace

std::vector<std::string> StagedFiles::FileNames() const {
  std::vector<std::string> names;
  for (const auto& staged : files_) names.push_back(FileName(staged->final_path));
  return names;
}

std::string TemporaryPath(const std::string& folder, std::string_view file_name) {
  return HiddenName(folder, file_name, kTemporarySuffix);
}

bool IsLibraryEnding(std::string_view ending) {
  constexpr size_t kLongestEnding = 64;
  if (ending.size() < 2 || ending.size() > kLongestEnding) return false;
  if (ending[0] != '.' && ending[0] != '-') return false;
  for (char ch : ending.substr(1)) {
    if (!IsAsciiAlnum(ch) && ch != '_' && ch != '.' && ch != '-') return false;
  }
  return true;
}

StagedFiles::~StagedFiles() {
  if (!committed_) Discard();
}

OutputFile& StagedFiles::Create(std::string_view file_name) {
  auto staged = std::make_unique<Staged>();
  staged->final_path = folder_ + std::string(file_name);
  staged->file.SetDisplayName(std::string(file_name));
  staged->file.Create(HiddenName(folder_, file_name, kTemporarySuffix), true);
  staged->exists = true;
  files_.push_back(std::move(staged));
  return files_.back()->file;
}

std::string StagedFiles::TemporaryStem(std::string_view stem) const {
  return TemporaryPath(folder_, stem);
}

void StagedFiles::Adopt(std::string_view file_name, std::string temp_path) {
  auto staged = std::make_unique<Staged>();
  staged->final_path = folder_ + std::string(file_name);
  staged->file.AssignPath(std::move(temp_path));
  staged->exists = true;
  files_.push_back(std::move(staged));
}

void StagedFiles::Discard() {
  for (const auto& staged : files_) {
    try {
      staged->file.Close();
    } catch (const IoError&) {
    }
    if (staged->exists) RemoveQuietly(staged->file.path());
    staged->exists = false;
  }
}

void StagedFiles::Close() {
  for (const auto& staged : files_) staged->file.Close();
}

void StagedFiles::Commit() {
  try {
    Close();
    // Older files first step aside, so that every step below can be undone.
    for (const auto& staged : files_) {
      // A folder of the name is no older file: the rename below refuses it.
      if (IsFolder(staged->final_path)) continue;
      const std::string backup = HiddenName(folder_, FileName(staged->final_path), kBackupSuffix);
      if (RenameOver(staged->final_path, backup, FileName(staged->final_path))) {
        staged->backup_path = backup;
      }
    }
    for (const auto& staged : files_) {
      if (!RenameOver(staged->file.path(), staged->final_path, FileName(staged->final_path))) {
        ThrowIoError(ENOENT, FileName(staged->final_path));
      }
      staged->exists = false;
      staged->in_place = true;
    }
  } catch (...) {
    Discard();
    RestoreOlderFiles();
    committed_ = true;  // nothing left to discard
    throw;
  }
  committed_ = true;
  for (const auto& staged : files_) RemoveQuietly(staged->backup_path);
}

void StagedFiles::RestoreOlderFiles() {
  // The new files that took their names go first: a set is either all new or
  // all as it was before, never mixed.
  for (const auto& staged : files_) {
    if (staged->in_place) RemoveQuietly(staged->final_path);
    staged->in_place = false;
  }
  for (const auto& staged : files_) {
    if (staged->backup_path.empty()) continue;
    // A restore that fails too leaves the older file under its backup name,
    // where it is still whole, rather than removing it.
    if (platform::RenameReplacing(staged->backup_path, staged->final_path) == 0) {
      staged->backup_path.clear();
    }
  }
}

}  // namespace pelmora
