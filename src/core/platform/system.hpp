#pragma once
// Memory, processes, the one-run-per-folder lock and code page 932 from the
// operating system (bodies in posix/ and windows/, as for files.hpp).
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "files.hpp"

namespace pelmora::platform {

// size bytes (a multiple of alignment) of zeroed pages starting on an
// alignment boundary, offered to the system for huge pages; nullptr when the
// system has none to give.
void* MapAlignedPages(size_t size, size_t alignment);
// Gives back a block of MapAlignedPages.
void UnmapPages(void* p, size_t size) noexcept;

// Calls fn(arg) when the calling thread ends (not for the main thread when
// the process exits). Per-thread caches free themselves this way rather than
// through a thread_local object with a destructor, which the Windows runtime
// runs at a point where a worker's exit crashes.
void AtThreadExit(void (*fn)(void*), void* arg);

// The running process's id, and whether the process of id pid still runs.
long ProcessId();
bool IsProcessRunning(long pid);

enum class LockResult {
  kTaken,       // the lock is held until UnlockFolder (or the process ends)
  kHeld,        // another process holds it
  kNoFolder,    // the folder cannot be opened at all (its own error comes later)
  kUnavailable  // the folder cannot be locked (error says why: ENOLCK, ...)
};
// Takes the folder's lock without waiting: flock on the folder on POSIX,
// LockFileEx on a lock file inside it on Windows. The system drops the lock
// when the process dies, however it dies.
LockResult LockFolder(const std::string& folder, FileHandle& lock, int& error);
void UnlockFolder(FileHandle lock) noexcept;

// Code page 932 from and to UTF-8 through the system's converter (iconv,
// or MultiByteToWideChar/WideCharToMultiByte), strictly: nothing when a
// sequence has no counterpart. text/cp932 evens out where the two systems'
// tables differ.
std::optional<std::string> Cp932ToUtf8(std::string_view cp932);
std::optional<std::string> Utf8ToCp932(std::string_view utf8);

}  // namespace pelmora::platform
