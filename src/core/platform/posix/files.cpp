// The POSIX body of platform/files.hpp.
#include "../files.hpp"

#include <dirent.h>
#include <fcntl.h>
#include <limits.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>

namespace pelmora::platform {

int OpenForReading(const std::string& path, FileHandle& file, uint64_t& size) {
  file = kNoFile;
  // O_NONBLOCK: the open does not wait for a writer when path is a named pipe.
  int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0) return errno;
  struct stat st {};
  if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    int code = S_ISREG(st.st_mode) ? errno : EISDIR;
    ::close(fd);
    return code;
  }
  size = static_cast<uint64_t>(st.st_size);
  file = fd;
  return 0;
}

int ReadSome(FileHandle file, char* bytes, size_t n, size_t& got) {
  while (true) {
    ssize_t r = ::read(static_cast<int>(file), bytes, n);
    if (r < 0 && errno == EINTR) continue;
    if (r < 0) return errno;
    got = static_cast<size_t>(r);
    return 0;
  }
}

int CreateForWriting(const std::string& path, bool exclusive, FileHandle& file) {
  int flags = O_WRONLY | O_CREAT | O_CLOEXEC | (exclusive ? O_EXCL : O_TRUNC);
  int fd = ::open(path.c_str(), flags, 0666);
  file = fd < 0 ? kNoFile : fd;
  return fd < 0 ? errno : 0;
}

int WriteSome(FileHandle file, const char* bytes, size_t n, size_t& written) {
  while (true) {
    ssize_t r = ::write(static_cast<int>(file), bytes, n);
    if (r < 0 && errno == EINTR) continue;
    if (r < 0) return errno;
    written = static_cast<size_t>(r);
    return 0;
  }
}

int CloseFile(FileHandle file) {
  // On Linux the descriptor is gone after close, EINTR included.
  if (::close(static_cast<int>(file)) != 0 && errno != EINTR) return errno;
  return 0;
}

int RenameReplacing(const std::string& from, const std::string& to) {
  return std::rename(from.c_str(), to.c_str()) == 0 ? 0 : errno;
}

int RemoveFile(const std::string& path) {
  return std::remove(path.c_str()) == 0 ? 0 : errno;
}

PathKind KindOf(const std::string& path) {
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0) return PathKind::kMissing;
  if (S_ISDIR(st.st_mode)) return PathKind::kFolder;
  return S_ISREG(st.st_mode) ? PathKind::kFile : PathKind::kOther;
}

int LookAt(const std::string& path, PathKind& kind) {
  struct stat st {};
  kind = PathKind::kMissing;
  if (::stat(path.c_str(), &st) != 0) return errno;
  if (S_ISDIR(st.st_mode)) {
    kind = PathKind::kFolder;
  } else {
    kind = S_ISREG(st.st_mode) ? PathKind::kFile : PathKind::kOther;
  }
  return 0;
}

int FolderWriteAccess(const std::string& folder) {
  return ::access(folder.c_str(), W_OK | X_OK) == 0 ? 0 : errno;
}

bool IsFolderNotLink(const std::string& path) {
  struct stat st {};
  return ::lstat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

std::optional<uint64_t> SizeOf(const std::string& path) {
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0) return std::nullopt;
  return static_cast<uint64_t>(st.st_size);
}

int ListFolder(const std::string& folder, std::vector<FolderEntry>& entries) {
  DIR* dir = ::opendir(folder.c_str());
  if (!dir) return errno;
  while (const dirent* entry = ::readdir(dir)) {
    std::string name = entry->d_name;
    if (name == "." || name == "..") continue;
    const bool ask = entry->d_type == DT_LNK || entry->d_type == DT_UNKNOWN;
    const bool hidden = !name.empty() && name.front() == '.';
    entries.push_back({std::move(name), entry->d_type == DT_DIR, ask, hidden});
  }
  ::closedir(dir);
  return 0;
}

bool IsSeparator(char c) {
  return c == '/';
}

char PreferredSeparator() {
  return '/';
}

bool IsAbsolute(const std::string& path) {
  return !path.empty() && path.front() == '/';
}

std::string AbsolutePath(const std::string& path) {
  if (path.empty() || IsAbsolute(path)) return path;
  char* cwd = ::getcwd(nullptr, 0);
  if (cwd == nullptr) return path;
  std::string folder = cwd;
  std::free(cwd);
  if (folder.empty() || folder.back() != '/') folder += '/';
  return folder + path;
}

std::string CanonicalPath(const std::string& folder) {
  char resolved[PATH_MAX];
  return ::realpath(folder.c_str(), resolved) != nullptr ? std::string(resolved) : std::string();
}

}  // namespace pelmora::platform
