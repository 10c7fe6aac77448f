#pragma once
// One run per output folder. Two runs writing into one folder at once would
// leave a mix of layers from both; a run therefore holds a lock on the folder
// (flock on the folder, LockFileEx on a lock file in it on Windows, which the
// system drops when the process dies, however it dies) for as long as it
// writes there. Once it holds the lock, whatever a killed run left behind can
// be cleared safely; without it, nothing is cleared.
#include <string>
#include <vector>

#include "../platform/files.hpp"

namespace pelmora {

class OutputFolderLock {
 public:
  OutputFolderLock() = default;
  ~OutputFolderLock();
  OutputFolderLock(const OutputFolderLock&) = delete;
  OutputFolderLock& operator=(const OutputFolderLock&) = delete;

  enum class State {
    kTaken,       // held until this object goes
    kHeld,        // another run holds it
    kNotOpened,   // the folder cannot be opened: the run meets its error later
    kUnavailable  // the folder cannot be locked (a network share without
                  // locks): whether another run writes there is unknown
  };
  // Takes the lock without waiting. For kUnavailable, error() gives the
  // system's reason.
  State Lock(const std::string& folder);
  int error() const { return error_; }

  // The same, false only when another run holds the lock.
  bool TryLock(const std::string& folder);

 private:
  platform::FileHandle lock_ = platform::kNoFile;
  int error_ = 0;
};

// A leftover that could not be cleared: the file and the system's error.
struct LeftoverFailure {
  std::string path;
  int code = 0;
};

// Clears what runs killed while writing into folder (ending with "/") left:
// temporary files (with the endings libraries append to them) are removed;
// older files set aside during a replacement go back under their names when
// a file of their layer is missing (the run died half way through putting
// the new files in), and are removed otherwise. Only hidden names of the
// converter's own pattern are touched, and only those of processes that no
// longer run. Call while holding the folder's lock. Returns the leftovers
// whose removal or restore failed.
std::vector<LeftoverFailure> ClearLeftoversReporting(const std::string& folder);
// The same, for callers that have nobody to tell.
void ClearLeftovers(const std::string& folder);

}  // namespace pelmora
