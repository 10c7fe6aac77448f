#pragma once
// The operating system's files and folders, behind one interface with a POSIX
// and a Windows body (posix/, windows/; the build picks one). Paths are UTF-8
// text; the Windows body turns them into wide-character paths (with the
// long-path prefix where a path needs it) at the call. Failures come back as
// errno values (ENOENT, EACCES, ENOSPC, ...), which SystemErrorText words the
// same on every system.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace pelmora::platform {

// An open file: a descriptor on POSIX, a HANDLE on Windows.
using FileHandle = intptr_t;
inline constexpr FileHandle kNoFile = -1;

// Opens path for reading, in binary: only a regular file is accepted (EISDIR
// for a folder, device or pipe; the open never waits for a pipe's writer).
// Sets size to the file's size. Returns 0 or an errno value.
int OpenForReading(const std::string& path, FileHandle& file, uint64_t& size);
// Reads at most n bytes into bytes; got is 0 at the end of the file.
int ReadSome(FileHandle file, char* bytes, size_t n, size_t& got);
// Creates path for writing, in binary: with exclusive it must not exist yet,
// otherwise an existing file is truncated.
int CreateForWriting(const std::string& path, bool exclusive, FileHandle& file);
// Writes at most n bytes; written may be less than n.
int WriteSome(FileHandle file, const char* bytes, size_t n, size_t& written);
// Closes file; the handle is released even when closing reports an error.
int CloseFile(FileHandle file);

// Renames from to to, replacing a file of that name. On Windows a sharing
// violation (a virus scanner or indexer holding to open a moment) is tried
// again for a bounded time before it is reported.
int RenameReplacing(const std::string& from, const std::string& to);
// Removes the file path.
int RemoveFile(const std::string& path);

enum class PathKind { kMissing, kFolder, kFile, kOther };
// What path is, links followed.
PathKind KindOf(const std::string& path);
// KindOf with the reason when path cannot be looked at: 0, or an errno value
// (ENOENT: nothing of that name; ENOTDIR: a file on the way; EACCES, ...),
// kind then kMissing.
int LookAt(const std::string& path, PathKind& kind);
// 0 when new files can be made in folder, otherwise an errno value.
int FolderWriteAccess(const std::string& folder);
// Whether path is a folder itself, not a link to one.
bool IsFolderNotLink(const std::string& path);
// The size of the file path, links followed; nothing when it does not exist.
std::optional<uint64_t> SizeOf(const std::string& path);

struct FolderEntry {
  std::string name;
  // A folder, or a name whose kind is only known by asking (a link, or a
  // file system that does not say): KindOf then decides.
  bool folder = false;
  bool ask = false;
  // Hidden from the user's listing: a name beginning with "." on POSIX, the
  // hidden or system attribute on Windows.
  bool hidden = false;
};
// The entries of folder, without "." and "..", in the order the system gives.
int ListFolder(const std::string& folder, std::vector<FolderEntry>& entries);

// Whether c separates the components of a path ("/"; on Windows also "\").
bool IsSeparator(char c);
// The separator the system's own paths use ("/"; "\" on Windows), for a
// separator the program adds to a path the user gave.
char PreferredSeparator();
// Whether path is absolute ("/x"; on Windows "C:\x", "\\server\share\x").
bool IsAbsolute(const std::string& path);
// path made absolute against the working folder, without resolving links.
std::string AbsolutePath(const std::string& path);
// The path of folder with every link resolved and, on Windows, the letter
// case the file system holds; empty when it cannot be resolved.
std::string CanonicalPath(const std::string& folder);

}  // namespace pelmora::platform
