// The Windows body of platform/files.hpp: the wide-character API on paths
// turned from UTF-8, files always in binary (no text mode, no end at 0x1A).
#include "../files.hpp"

#include <cerrno>

#include "wide_path.hpp"

namespace pelmora::platform {
namespace {

HANDLE AsHandle(FileHandle file) {
  return reinterpret_cast<HANDLE>(file);
}

FileHandle FromHandle(HANDLE handle) {
  return handle == INVALID_HANDLE_VALUE ? kNoFile : reinterpret_cast<FileHandle>(handle);
}

// One call's worth of bytes: ReadFile and WriteFile take a DWORD.
DWORD Chunk(size_t n) {
  return static_cast<DWORD>(n < (size_t{1} << 30) ? n : (size_t{1} << 30));
}

// A virus scanner or indexer may hold a fresh file open for a moment: a
// rename or removal refused for sharing is tried again for up to two
// seconds before the refusal counts.
template <typename Operation>
int RetryWhileShared(Operation operation) {
  constexpr int kTries = 40;
  constexpr DWORD kPauseMs = 50;
  for (int attempt = 1;; ++attempt) {
    if (operation()) return 0;
    const DWORD error = ::GetLastError();
    const bool shared = error == ERROR_SHARING_VIOLATION || error == ERROR_ACCESS_DENIED ||
                        error == ERROR_LOCK_VIOLATION;
    if (!shared || attempt == kTries) return ErrnoOf(error);
    ::Sleep(kPauseMs);
  }
}

// The attributes of path with links followed, or INVALID_FILE_ATTRIBUTES.
DWORD FollowedAttributes(const std::string& path) {
  const std::wstring wide = WidePath(path);
  DWORD attributes = ::GetFileAttributesW(wide.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_REPARSE_POINT)) {
    return attributes;
  }
  HANDLE handle =
      ::CreateFileW(wide.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                    nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (handle == INVALID_HANDLE_VALUE) return INVALID_FILE_ATTRIBUTES;
  BY_HANDLE_FILE_INFORMATION info{};
  const bool known = ::GetFileInformationByHandle(handle, &info);
  ::CloseHandle(handle);
  return known ? info.dwFileAttributes : INVALID_FILE_ATTRIBUTES;
}

}  // namespace

int OpenForReading(const std::string& path, FileHandle& file, uint64_t& size) {
  file = kNoFile;
  HANDLE handle = ::CreateFileW(WidePath(path).c_str(), GENERIC_READ,
                                FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
  if (handle == INVALID_HANDLE_VALUE) {
    // A folder cannot be opened as a file: say so as POSIX does.
    const int code = LastErrno();
    return KindOf(path) == PathKind::kFolder ? EISDIR : code;
  }
  LARGE_INTEGER bytes{};
  if (::GetFileType(handle) != FILE_TYPE_DISK || !::GetFileSizeEx(handle, &bytes)) {
    ::CloseHandle(handle);
    return EISDIR;
  }
  size = static_cast<uint64_t>(bytes.QuadPart);
  file = FromHandle(handle);
  return 0;
}

int ReadSome(FileHandle file, char* bytes, size_t n, size_t& got) {
  DWORD read = 0;
  if (!::ReadFile(AsHandle(file), bytes, Chunk(n), &read, nullptr)) return LastErrno();
  got = read;
  return 0;
}

int CreateForWriting(const std::string& path, bool exclusive, FileHandle& file) {
  HANDLE handle = ::CreateFileW(
      WidePath(path).c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr,
      exclusive ? CREATE_NEW : CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  file = FromHandle(handle);
  return handle == INVALID_HANDLE_VALUE ? LastErrno() : 0;
}

int WriteSome(FileHandle file, const char* bytes, size_t n, size_t& written) {
  DWORD wrote = 0;
  if (!::WriteFile(AsHandle(file), bytes, Chunk(n), &wrote, nullptr)) return LastErrno();
  written = wrote;
  return 0;
}

int CloseFile(FileHandle file) {
  return ::CloseHandle(AsHandle(file)) ? 0 : LastErrno();
}

int RenameReplacing(const std::string& from, const std::string& to) {
  const std::wstring wide_from = WidePath(from), wide_to = WidePath(to);
  return RetryWhileShared([&] {
    return ::MoveFileExW(wide_from.c_str(), wide_to.c_str(),
                         MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
  });
}

int RemoveFile(const std::string& path) {
  const std::wstring wide = WidePath(path);
  return RetryWhileShared([&] { return ::DeleteFileW(wide.c_str()) != 0; });
}

PathKind KindOf(const std::string& path) {
  const DWORD attributes = FollowedAttributes(path);
  if (attributes == INVALID_FILE_ATTRIBUTES) return PathKind::kMissing;
  if (attributes & FILE_ATTRIBUTE_DIRECTORY) return PathKind::kFolder;
  return attributes & FILE_ATTRIBUTE_DEVICE ? PathKind::kOther : PathKind::kFile;
}

int LookAt(const std::string& path, PathKind& kind) {
  kind = PathKind::kMissing;
  const DWORD attributes = FollowedAttributes(path);
  if (attributes == INVALID_FILE_ATTRIBUTES) return LastErrno();
  if (attributes & FILE_ATTRIBUTE_DIRECTORY) {
    kind = PathKind::kFolder;
  } else {
    kind = attributes & FILE_ATTRIBUTE_DEVICE ? PathKind::kOther : PathKind::kFile;
  }
  return 0;
}

// Windows ignores the read-only attribute of folders and has no cheap test of
// the right to create files: a folder that exists counts as writable, and a
// refusal is reported by the first file created there.
int FolderWriteAccess(const std::string& folder) {
  const DWORD attributes = FollowedAttributes(folder);
  if (attributes == INVALID_FILE_ATTRIBUTES) return LastErrno();
  return attributes & FILE_ATTRIBUTE_DIRECTORY ? 0 : ENOTDIR;
}

bool IsFolderNotLink(const std::string& path) {
  const DWORD attributes = ::GetFileAttributesW(WidePath(path).c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) &&
         !(attributes & FILE_ATTRIBUTE_REPARSE_POINT);
}

std::optional<uint64_t> SizeOf(const std::string& path) {
  HANDLE handle = ::CreateFileW(WidePath(path).c_str(), 0,
                                FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (handle == INVALID_HANDLE_VALUE) return std::nullopt;
  LARGE_INTEGER bytes{};
  const bool known = ::GetFileSizeEx(handle, &bytes);
  ::CloseHandle(handle);
  return known ? static_cast<uint64_t>(bytes.QuadPart) : 0;
}

int ListFolder(const std::string& folder, std::vector<FolderEntry>& entries) {
  std::string pattern = folder;
  if (!pattern.empty() && !IsSeparator(pattern.back())) pattern += '\\';
  pattern += '*';
  WIN32_FIND_DATAW found{};
  HANDLE search = ::FindFirstFileExW(WidePath(pattern).c_str(), FindExInfoBasic, &found,
                                     FindExSearchNameMatch, nullptr, FIND_FIRST_EX_LARGE_FETCH);
  if (search == INVALID_HANDLE_VALUE) {
    const DWORD error = ::GetLastError();
    // An empty folder (a drive root has no "." entry) is no error.
    return error == ERROR_FILE_NOT_FOUND && KindOf(folder) == PathKind::kFolder ? 0
                                                                                : ErrnoOf(error);
  }
  do {
    std::string name = Narrow(found.cFileName);
    if (name == "." || name == "..") continue;
    const DWORD attributes = found.dwFileAttributes;
    const bool link = attributes & FILE_ATTRIBUTE_REPARSE_POINT;
    // The hidden and system attributes hide a folder from the user; a name
    // beginning with "." is left out too, as on POSIX, so that one data set
    // converts alike on both.
    const bool hidden = (attributes & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM)) ||
                        (!name.empty() && name.front() == '.');
    entries.push_back(
        {std::move(name), !link && (attributes & FILE_ATTRIBUTE_DIRECTORY), link, hidden});
  } while (::FindNextFileW(search, &found));
  ::FindClose(search);
  return 0;
}

bool IsSeparator(char c) {
  return c == '/' || c == '\\';
}

char PreferredSeparator() {
  return '\\';
}

bool IsAbsolute(const std::string& path) {
  if (path.size() >= 2 && IsSeparator(path[0]) && IsSeparator(path[1])) return true;
  return path.size() >= 3 && path[1] == ':' && IsSeparator(path[2]);
}

std::string AbsolutePath(const std::string& path) {
  if (path.empty() || IsAbsolute(path)) return path;
  const std::wstring wide = Widen(path);
  const DWORD n = ::GetFullPathNameW(wide.c_str(), 0, nullptr, nullptr);
  if (n == 0) return path;
  std::wstring full(n, L'\0');
  full.resize(::GetFullPathNameW(wide.c_str(), n, full.data(), nullptr));
  return Narrow(full);
}

std::string CanonicalPath(const std::string& folder) {
  HANDLE handle = ::CreateFileW(WidePath(folder).c_str(), 0,
                                FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (handle == INVALID_HANDLE_VALUE) return {};
  std::wstring final_path(32768, L'\0');
  const DWORD n =
      ::GetFinalPathNameByHandleW(handle, final_path.data(), static_cast<DWORD>(final_path.size()),
                                  FILE_NAME_NORMALIZED | VOLUME_NAME_DOS);
  ::CloseHandle(handle);
  if (n == 0 || n >= final_path.size()) return {};
  final_path.resize(n);
  if (final_path.starts_with(L"\\\\?\\UNC\\")) {
    final_path = L"\\\\" + final_path.substr(8);
  } else if (final_path.starts_with(L"\\\\?\\")) {
    final_path = final_path.substr(4);
  }
  return Narrow(final_path);
}

}  // namespace pelmora::platform
