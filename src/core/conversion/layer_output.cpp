#include "layer_output.hpp"

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

LayerOutput::LayerOutput(const std::string& output_folder, std::string_view base_name)
    : final_mif_(output_folder + std::string(base_name) + ".mif"),
      final_mid_(output_folder + std::string(base_name) + ".mid") {
  mif_.SetDisplayName(FileName(final_mif_));
  mid_.SetDisplayName(FileName(final_mid_));
  try {
    mif_.Create(TemporaryName(output_folder, std::string(base_name) + ".mif"), true);
    mid_.Create(TemporaryName(output_folder, std::string(base_name) + ".mid"), true);
  } catch (...) {
    Discard();
    throw;
  }
}

LayerOutput::~LayerOutput() {
  if (!committed_) Discard();
}

void LayerOutput::Discard() {
  std::string mif_path = mif_.IsOpen() || closed_ ? mif_.path() : std::string();
  std::string mid_path = mid_.IsOpen() || closed_ ? mid_.path() : std::string();
  try {
    mif_.Close();
  } catch (const IoError&) {
  }
  try {
    mid_.Close();
  } catch (const IoError&) {
  }
  RemoveQuietly(mif_path);
  RemoveQuietly(mid_path);
}

void LayerOutput::Close() {
  closed_ = true;  // from here on the temporaries exist whether or not open
  mif_.Close();
  mid_.Close();
}

void LayerOutput::Commit() {
  const std::string mif_temp = mif_.path(), mid_temp = mid_.path();
  bool mif_renamed = false;
  try {
    mif_.Close();
    mid_.Close();
    RenameOver(mif_temp, final_mif_);
    mif_renamed = true;
    RenameOver(mid_temp, final_mid_);
  } catch (...) {
    RemoveQuietly(mif_temp);
    RemoveQuietly(mid_temp);
    if (mif_renamed) {
      // The new MIF file is in place but its MID file is not: remove both
      // names rather than leave a MIF file beside a MID file of another run.
      RemoveQuietly(final_mif_);
      RemoveQuietly(final_mid_);
    }
    committed_ = true;  // nothing left to discard
    throw;
  }
  committed_ = true;
}

}  // namespace pelmora
