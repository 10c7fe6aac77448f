#pragma once
// What stands at a path, and whether a folder takes new files: the checks
// made on the output before a run, which must name what is wrong.
#include <string>

namespace pelmora {

enum class PathKind {
  kMissing,  // nothing of that name (or a folder on the way is missing)
  kFolder,   // a folder, or a link to one
  kFile,     // a regular file, or a link to one
  kOther,    // a device, a pipe, a socket
  kBlocked,  // a part of the path is a file, or the path cannot be looked at
};

struct PathStatus {
  PathKind kind = PathKind::kMissing;
  // For kBlocked: the file met on the way ("a/b" of "a/b/c" when a/b is a
  // file), or the path itself when it cannot be looked at.
  std::string blocker;
  int error = 0;  // the system's error code for kMissing and kBlocked
};

// Looks at path, following links.
PathStatus StatPath(const std::string& path);

// 0 when new files can be made in folder; otherwise the system's error code
// (or the one the file-fault seam chooses for creating there).
int FolderWriteError(const std::string& folder);

}  // namespace pelmora
