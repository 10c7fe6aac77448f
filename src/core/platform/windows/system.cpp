// The Windows body of platform/system.hpp.
#include "../system.hpp"

#include <cerrno>
#include <cstdint>

#include "wide_path.hpp"

namespace pelmora::platform {

// VirtualAlloc gives whole pages on a 64 KB boundary, and a block cannot be
// given back in part: a free range of size + alignment is found, released,
// and the aligned block taken inside it (another thread may take the range
// meanwhile: then again). Large pages need a privilege users lack; the
// alignment keeps the blocks alike on both systems.
void* MapAlignedPages(size_t size, size_t alignment) {
  if (size > SIZE_MAX - alignment) return nullptr;
  for (int attempt = 0; attempt < 8; ++attempt) {
    void* range = ::VirtualAlloc(nullptr, size + alignment, MEM_RESERVE, PAGE_NOACCESS);
    if (range == nullptr) return nullptr;
    const auto start = reinterpret_cast<uintptr_t>(range);
    const uintptr_t aligned = (start + alignment - 1) & ~(uintptr_t{alignment} - 1);
    ::VirtualFree(range, 0, MEM_RELEASE);
    void* p = ::VirtualAlloc(reinterpret_cast<void*>(aligned), size, MEM_RESERVE | MEM_COMMIT,
                             PAGE_READWRITE);
    if (p != nullptr) return p;
  }
  return ::VirtualAlloc(nullptr, size, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE);
}

void UnmapPages(void* p, size_t /*size*/) noexcept {
  ::VirtualFree(p, 0, MEM_RELEASE);
}

namespace {

// The calls a thread asked for at its end, newest first.
struct ExitCall {
  void (*fn)(void*);
  void* arg;
  ExitCall* next;
};

void WINAPI RunExitCalls(void* first) {
  for (auto* call = static_cast<ExitCall*>(first); call != nullptr;) {
    ExitCall* next = call->next;
    call->fn(call->arg);
    delete call;
    call = next;
  }
}

// A fiber-local slot, whose callback the system runs when a thread ends.
DWORD ExitCallsSlot() {
  static const DWORD slot = ::FlsAlloc(RunExitCalls);
  return slot;
}

}  // namespace

void AtThreadExit(void (*fn)(void*), void* arg) {
  const DWORD slot = ExitCallsSlot();
  auto* first = static_cast<ExitCall*>(::FlsGetValue(slot));
  ::FlsSetValue(slot, new ExitCall{fn, arg, first});
}

long ProcessId() {
  return static_cast<long>(::GetCurrentProcessId());
}

bool IsProcessRunning(long pid) {
  if (pid <= 0) return false;
  HANDLE process = ::OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION | SYNCHRONIZE, FALSE,
                                 static_cast<DWORD>(pid));
  // A process of another user cannot be opened, but it runs.
  if (process == nullptr) return ::GetLastError() == ERROR_ACCESS_DENIED;
  DWORD code = 0;
  const bool running = ::GetExitCodeProcess(process, &code) && code == STILL_ACTIVE &&
                       ::WaitForSingleObject(process, 0) == WAIT_TIMEOUT;
  ::CloseHandle(process);
  return running;
}

// A folder cannot be locked on Windows; a hidden file inside it is, and the
// system releases its lock when the process ends, however it ends. The file
// goes with the last handle to it, so that no run leaves it behind.
LockResult LockFolder(const std::string& folder, FileHandle& lock, int& error) {
  lock = kNoFile;
  error = 0;
  std::string path = folder;
  if (!path.empty() && !IsSeparator(path.back())) path += '\\';
  path += ".pelmora.lock";
  const std::wstring wide = WidePath(path);
  HANDLE file = INVALID_HANDLE_VALUE;
  // A lock file whose last holder just closed it is refused until it is
  // gone: a moment.
  for (int attempt = 0; attempt < 50 && file == INVALID_HANDLE_VALUE; ++attempt) {
    file = ::CreateFileW(wide.c_str(), GENERIC_READ | GENERIC_WRITE,
                         FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                         OPEN_ALWAYS, FILE_ATTRIBUTE_HIDDEN | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
    if (file == INVALID_HANDLE_VALUE && ::GetLastError() != ERROR_ACCESS_DENIED) break;
    if (file == INVALID_HANDLE_VALUE) ::Sleep(10);
  }
  if (file == INVALID_HANDLE_VALUE) {
    error = LastErrno();
    return LockResult::kNoFolder;
  }
  OVERLAPPED at{};
  if (::LockFileEx(file, LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, 1, 0, &at)) {
    lock = reinterpret_cast<FileHandle>(file);
    return LockResult::kTaken;
  }
  const DWORD code = ::GetLastError();
  ::CloseHandle(file);
  if (code == ERROR_LOCK_VIOLATION || code == ERROR_IO_PENDING) return LockResult::kHeld;
  error = code == ERROR_NOT_SUPPORTED || code == ERROR_INVALID_FUNCTION ? ENOLCK : ErrnoOf(code);
  return LockResult::kUnavailable;
}

void UnlockFolder(FileHandle lock) noexcept {
  if (lock != kNoFile) ::CloseHandle(reinterpret_cast<HANDLE>(lock));
}

namespace {

// text in code page from through UTF-16 into code page to, strictly.
std::optional<std::string> Convert(UINT from, UINT to, std::string_view text) {
  if (text.empty()) return std::string();
  const int size = static_cast<int>(text.size());
  const int wide_size =
      ::MultiByteToWideChar(from, MB_ERR_INVALID_CHARS, text.data(), size, nullptr, 0);
  if (wide_size == 0) return std::nullopt;
  std::wstring wide(static_cast<size_t>(wide_size), L'\0');
  ::MultiByteToWideChar(from, MB_ERR_INVALID_CHARS, text.data(), size, wide.data(), wide_size);
  // Code page 932 takes no characters by "best fit": a character it lacks
  // is refused rather than turned into a look-alike.
  const DWORD flags = to == CP_UTF8 ? 0 : WC_NO_BEST_FIT_CHARS;
  BOOL defaulted = FALSE;
  BOOL* used_default = to == CP_UTF8 ? nullptr : &defaulted;
  const int out_size =
      ::WideCharToMultiByte(to, flags, wide.data(), wide_size, nullptr, 0, nullptr, used_default);
  if (out_size == 0 || defaulted) return std::nullopt;
  std::string out(static_cast<size_t>(out_size), '\0');
  ::WideCharToMultiByte(to, flags, wide.data(), wide_size, out.data(), out_size, nullptr,
                        used_default);
  return out;
}

}  // namespace

std::optional<std::string> Cp932ToUtf8(std::string_view cp932) {
  return Convert(932, CP_UTF8, cp932);
}

std::optional<std::string> Utf8ToCp932(std::string_view utf8) {
  return Convert(CP_UTF8, 932, utf8);
}

}  // namespace pelmora::platform
