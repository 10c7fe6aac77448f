// The POSIX body of platform/system.hpp.
#include "../system.hpp"

#include <fcntl.h>
#include <iconv.h>
#include <pthread.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/mman.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>

namespace pelmora::platform {

void* MapAlignedPages(size_t size, size_t alignment) {
  if (size > SIZE_MAX - alignment) return nullptr;
  // One alignment more is mapped and the unaligned ends are given back.
  const size_t mapped = size + alignment;
  void* p = ::mmap(nullptr, mapped, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
  if (p == MAP_FAILED) return nullptr;
  const auto start = reinterpret_cast<uintptr_t>(p);
  const uintptr_t aligned = (start + alignment - 1) & ~(uintptr_t{alignment} - 1);
  const size_t head = aligned - start, tail = mapped - head - size;
  if (head > 0) ::munmap(p, head);
  if (tail > 0) ::munmap(reinterpret_cast<void*>(aligned + size), tail);
#ifdef MADV_HUGEPAGE
  // Only advice: without huge pages the block is ordinary memory.
  ::madvise(reinterpret_cast<void*>(aligned), size, MADV_HUGEPAGE);
#endif
  return reinterpret_cast<void*>(aligned);
}

void UnmapPages(void* p, size_t size) noexcept {
  ::munmap(p, size);
}

namespace {

// The calls a thread asked for at its end, newest first.
struct ExitCall {
  void (*fn)(void*);
  void* arg;
  ExitCall* next;
};

void RunExitCalls(void* first) {
  for (auto* call = static_cast<ExitCall*>(first); call != nullptr;) {
    ExitCall* next = call->next;
    call->fn(call->arg);
    delete call;
    call = next;
  }
}

pthread_key_t ExitCallsKey() {
  static const pthread_key_t key = [] {
    pthread_key_t made;
    ::pthread_key_create(&made, RunExitCalls);
    return made;
  }();
  return key;
}

}  // namespace

void AtThreadExit(void (*fn)(void*), void* arg) {
  const pthread_key_t key = ExitCallsKey();
  auto* first = static_cast<ExitCall*>(::pthread_getspecific(key));
  ::pthread_setspecific(key, new ExitCall{fn, arg, first});
}

long ProcessId() {
  return static_cast<long>(::getpid());
}

bool IsProcessRunning(long pid) {
  if (pid <= 0) return false;
  return ::kill(static_cast<pid_t>(pid), 0) == 0 || errno == EPERM;
}

LockResult LockFolder(const std::string& folder, FileHandle& lock, int& error) {
  lock = kNoFile;
  error = 0;
  int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) {
    error = errno;
    return LockResult::kNoFolder;
  }
  if (::flock(fd, LOCK_EX | LOCK_NB) == 0) {
    lock = fd;
    return LockResult::kTaken;
  }
  error = errno;
  ::close(fd);
  return error == EWOULDBLOCK ? LockResult::kHeld : LockResult::kUnavailable;
}

void UnlockFolder(FileHandle lock) noexcept {
  if (lock != kNoFile) ::close(static_cast<int>(lock));
}

namespace {

// Converts the whole of in with iconv; nothing at the first sequence that
// has no counterpart.
std::optional<std::string> Convert(const char* to, const char* from, std::string_view in) {
  iconv_t cd = ::iconv_open(to, from);
  if (cd == reinterpret_cast<iconv_t>(-1)) return std::nullopt;
  std::string out;
  char* in_ptr = const_cast<char*>(in.data());
  size_t in_left = in.size();
  bool whole = true;
  while (in_left > 0) {
    char buffer[1024];
    char* out_ptr = buffer;
    size_t out_left = sizeof buffer;
    size_t r = ::iconv(cd, &in_ptr, &in_left, &out_ptr, &out_left);
    out.append(buffer, static_cast<size_t>(out_ptr - buffer));
    if (r == static_cast<size_t>(-1) && errno != E2BIG) {
      whole = false;
      break;
    }
  }
  ::iconv_close(cd);
  if (!whole) return std::nullopt;
  return out;
}

}  // namespace

std::optional<std::string> Cp932ToUtf8(std::string_view cp932) {
  return Convert("UTF-8", "CP932", cp932);
}

std::optional<std::string> Utf8ToCp932(std::string_view utf8) {
  return Convert("CP932", "UTF-8", utf8);
}

}  // namespace pelmora::platform
