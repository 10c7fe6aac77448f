#include "path_status.hpp"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "file_faults.hpp"

namespace pelmora {
namespace {

// The path without its last component, or empty at the top.
std::string ParentOf(const std::string& path) {
  size_t end = path.find_last_not_of('/');
  if (end == std::string::npos) return {};
  const size_t slash = path.rfind('/', end);
  if (slash == std::string::npos) return {};
  return slash == 0 ? std::string("/") : path.substr(0, slash);
}

// The nearest part of path that exists and is not a folder.
std::string FileOnTheWay(const std::string& path) {
  for (std::string part = ParentOf(path); !part.empty() && part != "/"; part = ParentOf(part)) {
    struct stat st {};
    if (::stat(part.c_str(), &st) == 0) return S_ISDIR(st.st_mode) ? path : part;
  }
  return path;
}

}  // namespace

PathStatus StatPath(const std::string& path) {
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0) {
    const int error = errno;
    if (error == ENOENT) return {PathKind::kMissing, {}, error};
    if (error == ENOTDIR) return {PathKind::kBlocked, FileOnTheWay(path), error};
    return {PathKind::kBlocked, path, error};
  }
  if (S_ISDIR(st.st_mode)) return {PathKind::kFolder, {}, 0};
  if (S_ISREG(st.st_mode)) return {PathKind::kFile, {}, 0};
  return {PathKind::kOther, {}, 0};
}

int FolderWriteError(const std::string& folder) {
  if (int injected = InjectedFault(FileOp::kCreate, folder)) return injected;
  return ::access(folder.c_str(), W_OK | X_OK) == 0 ? 0 : errno;
}

}  // namespace pelmora
