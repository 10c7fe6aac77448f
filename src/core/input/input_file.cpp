#include "input_file.hpp"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <utility>

#include "../errors.hpp"
#include "../io/file_faults.hpp"
#include "../text/lines.hpp"

namespace pelmora {

void ThrowFileOpenError(const std::string& path, int code) {
  // A folder where a file belongs is refused like an access to it.
  if (code == EISDIR) code = EACCES;
  // The message names the file by its full path, also when the map-data
  // folder was given relative to the working folder.
  std::error_code ignored;
  std::string full = path.empty() || path.front() == '/'
                         ? path
                         : std::filesystem::absolute(path, ignored).string();
  throw FileOpenError("ファイル \"" + full + "\". " + SystemErrorText(code) + " は開けません");
}

void InputFile::Load(const std::string& path) {
  Release();
  if (int fault = InjectedFault(FileOp::kOpenRead, path)) ThrowFileOpenError(path, fault);
  int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) ThrowFileOpenError(path, errno);
  struct stat st {};
  if (::fstat(fd, &st) != 0 || S_ISDIR(st.st_mode)) {
    int code = S_ISDIR(st.st_mode) ? EISDIR : errno;
    ::close(fd);
    ThrowFileOpenError(path, code);
  }
  // One read for the size the file has; a file that grows meanwhile is read
  // on to its end.
  Reserve(static_cast<size_t>(st.st_size) + 1, 0);
  size_t used = 0;
  while (true) {
    if (used == buffer_.capacity) Reserve(2 * buffer_.capacity, used);
    ssize_t n = ::read(fd, buffer_.bytes.get() + used, buffer_.capacity - used);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) {
      int code = errno;
      ::close(fd);
      Release();
      ThrowFileOpenError(path, code);
    }
    if (n == 0) break;
    used += static_cast<size_t>(n);
  }
  ::close(fd);
  if (lines_.capacity() == 0) lines_ = TakeLineTable();
  // Room for lines of 16 bytes on average (map data has longer ones), so
  // that the table is not moved to fresh memory while it fills.
  lines_.reserve(used / 16 + 16);
  SplitLines(std::string_view(buffer_.bytes.get(), used), lines_);
}

void InputFile::Reserve(size_t capacity, size_t used) {
  if (capacity <= buffer_.capacity) return;
  // Not zeroed: every byte used is read from the file first.
  PooledBuffer bigger = TakeBuffer(capacity);
  if (used > 0) std::memcpy(bigger.bytes.get(), buffer_.bytes.get(), used);
  GiveBackBuffer(std::exchange(buffer_, std::move(bigger)));
}

void InputFile::Release() {
  GiveBackLineTable(std::move(lines_));
  lines_ = {};
  GiveBackBuffer(std::move(buffer_));
  buffer_ = {};
}

size_t InputFile::LineNumberOf(std::string_view line) const {
  auto it = std::upper_bound(lines_.begin(), lines_.end(), line.data(),
                             [](const char* p, std::string_view l) { return p < l.data(); });
  return it == lines_.begin() ? 0 : static_cast<size_t>(it - lines_.begin() - 1);
}

}  // namespace pelmora
