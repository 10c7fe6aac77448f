#pragma once
// One run per output folder. Two runs writing into one folder at once would
// leave a mix of layers from both; a run therefore holds a lock on the folder
// (flock, which the kernel drops when the process dies, however it dies) for
// as long as it writes there. Once it holds the lock, whatever a killed run
// left behind can be cleared safely.
#include <string>

namespace pelmora {

class OutputFolderLock {
 public:
  OutputFolderLock() = default;
  ~OutputFolderLock();
  OutputFolderLock(const OutputFolderLock&) = delete;
  OutputFolderLock& operator=(const OutputFolderLock&) = delete;

  // Takes the lock without waiting; false when another run holds it. A
  // folder that cannot be opened for locking is not refused: the run then
  // meets the folder's own error when it writes.
  bool TryLock(const std::string& folder);

 private:
  int fd_ = -1;
};

// Clears what runs killed while writing into folder (ending with "/") left:
// temporary files (with the endings libraries append to them) are removed;
// older files set aside during a replacement go back under their names when
// a file of their layer is missing (the run died half way through putting
// the new files in), and are removed otherwise. Only hidden names of the
// converter's own pattern are touched, and only those of processes that no
// longer run. Call while holding the folder's lock.
void ClearLeftovers(const std::string& folder);

}  // namespace pelmora
