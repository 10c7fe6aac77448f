#include "path_status.hpp"

#include <cerrno>

#include "../platform/files.hpp"
#include "file_faults.hpp"
#include "path_text.hpp"

namespace pelmora {
namespace {

// The nearest part of path that exists and is not a folder.
std::string FileOnTheWay(const std::string& path) {
  for (std::string part = ParentPath(path); !part.empty(); part = ParentPath(part)) {
    platform::PathKind kind = platform::PathKind::kMissing;
    if (platform::LookAt(part, kind) == 0) {
      return kind == platform::PathKind::kFolder ? path : part;
    }
  }
  return path;
}

}  // namespace

PathStatus StatPath(const std::string& path) {
  platform::PathKind kind = platform::PathKind::kMissing;
  if (const int error = platform::LookAt(path, kind); error != 0) {
    if (error == ENOENT) return {PathKind::kMissing, {}, error};
    if (error == ENOTDIR) return {PathKind::kBlocked, FileOnTheWay(path), error};
    return {PathKind::kBlocked, path, error};
  }
  switch (kind) {
    case platform::PathKind::kFolder:
      return {PathKind::kFolder, {}, 0};
    case platform::PathKind::kFile:
      return {PathKind::kFile, {}, 0};
    case platform::PathKind::kOther:
      return {PathKind::kOther, {}, 0};
    case platform::PathKind::kMissing:
      break;
  }
  return {PathKind::kMissing, {}, ENOENT};
}

int FolderWriteError(const std::string& folder) {
  if (int injected = InjectedFault(FileOp::kCreate, folder)) return injected;
  return platform::FolderWriteAccess(folder);
}

}  // namespace pelmora
