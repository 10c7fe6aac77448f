#pragma once
// The files of one layer, written under temporary names in the output folder
// and renamed over their real names only when the layer is complete, so a
// layer that an error or a stop interrupts leaves no partial file set and an
// older set of its names stays as it was. Every output format stages its
// files here.
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "../io/output_file.hpp"

namespace pelmora {

// The endings of the hidden names ".<name>.<pid>-<n><suffix>" that a run
// leaves in the output folder only when it is killed.
inline constexpr std::string_view kTemporarySuffix = ".tmp";
inline constexpr std::string_view kBackupSuffix = ".old";

// A fresh temporary path in folder (ending with "/") for the file file_name,
// unique within this process and across processes:
// ".<file_name>.<pid>-<n>.tmp". Another library that writes there may append
// one of the endings of IsLibraryEnding.
std::string TemporaryPath(const std::string& folder, std::string_view file_name);

// Whether ending is what a library may append to a temporary path: a "." or
// "-" and up to 63 ASCII letters, digits, "_", "." and "-". That takes in
// the extensions by which GDAL picks a format (".shp", ".fgb"), the side
// files of an SQLite database ("-journal", "-wal", "-shm") and the database
// GDAL may build a GeoPackage's spatial index in (".tmp_rtree_<table>.db").
// Names with such an ending after a temporary path are temporary files too.
bool IsLibraryEnding(std::string_view ending);

class StagedFiles {
 public:
  explicit StagedFiles(std::string output_folder) : folder_(std::move(output_folder)) {}
  ~StagedFiles();  // removes the temporary files unless committed
  StagedFiles(const StagedFiles&) = delete;
  StagedFiles& operator=(const StagedFiles&) = delete;

  // Creates the temporary file that becomes file_name in the output folder.
  // Files are closed and renamed in the order they were created. Throws
  // IoError naming file_name.
  OutputFile& Create(std::string_view file_name);

  // For files another library writes (it names its files by extension): a
  // fresh temporary path in the output folder without extension, to which
  // the library appends its extensions (IsLibraryEnding).
  std::string TemporaryStem(std::string_view stem) const;
  // Takes a file that another library wrote (or is writing) at temp_path as
  // the one that becomes file_name: it is committed and discarded like a
  // file made by Create. The library must have closed it by Commit.
  void Adopt(std::string_view file_name, std::string temp_path);

  // Flushes and closes every file, so that a finished layer waiting for its
  // turn to be committed holds no open file. Throws IoError.
  void Close();

  // Closes the files unless done and renames them over their real names, in
  // order. Older files of those names are first renamed aside to backup
  // names, and removed only once every new file took its name. Throws
  // IoError; the temporaries are then gone, new files that took their names
  // are removed and the older files are back under their names, so the
  // folder holds the older set as it was.
  void Commit();

  // The final names of the files, in the order they were created or adopted.
  std::vector<std::string> FileNames() const;

 private:
  struct Staged {
    std::string final_path;
    OutputFile file;
    bool exists = false;      // the temporary file was created and not removed
    bool in_place = false;    // the new file took the final name during Commit
    std::string backup_path;  // where the older file of the name was set aside
  };
  void Discard();
  void RestoreOlderFiles();

  std::string folder_;
  std::vector<std::unique_ptr<Staged>> files_;
  bool committed_ = false;
};

}  // namespace pelmora
