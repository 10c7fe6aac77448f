#include "staged_files.hpp"

#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdio>

#include "../errors.hpp"
#include "../io/file_faults.hpp"

namespace pelmora {
namespace {

// A hidden name beside the final file, unique within this process and
// across processes.
std::string TemporaryName(const std::string& folder, std::string_view file_name) {
  static std::atomic<unsigned> counter{0};
  return folder + "." + std::string(file_name) + "." + std::to_string(::getpid()) + "-" +
         std::to_string(counter++) + ".tmp";
}

void RemoveQuietly(const std::string& path) {
  if (!path.empty()) std::remove(path.c_str());
}

// The name of an output file in messages: the output folder is the user's
// own choice, so the file name alone says which layer failed.
std::string FileName(const std::string& path) {
  return path.substr(path.rfind('/') + 1);
}

void RenameOver(const std::string& from, const std::string& to) {
  if (int fault = InjectedFault(FileOp::kRename, to)) ThrowIoError(fault, FileName(to));
  if (std::rename(from.c_str(), to.c_str()) != 0) ThrowIoError(errno, FileName(to));
}

}  // namespace

StagedFiles::~StagedFiles() {
  if (!committed_) Discard();
}

OutputFile& StagedFiles::Create(std::string_view file_name) {
  auto staged = std::make_unique<Staged>();
  staged->final_path = folder_ + std::string(file_name);
  staged->file.SetDisplayName(std::string(file_name));
  staged->file.Create(TemporaryName(folder_, file_name), true);
  staged->exists = true;
  files_.push_back(std::move(staged));
  return files_.back()->file;
}

std::string StagedFiles::TemporaryStem(std::string_view stem) const {
  return TemporaryName(folder_, stem);
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
  size_t renamed = 0;
  try {
    Close();
    for (const auto& staged : files_) {
      RenameOver(staged->file.path(), staged->final_path);
      staged->exists = false;
      ++renamed;
    }
  } catch (...) {
    Discard();
    if (renamed > 0) {
      // Some new files are in place but not all: remove every name of the
      // set rather than leave new files beside older ones of another run.
      for (const auto& staged : files_) RemoveQuietly(staged->final_path);
    }
    committed_ = true;  // nothing left to discard
    throw;
  }
  committed_ = true;
}

}  // namespace pelmora
