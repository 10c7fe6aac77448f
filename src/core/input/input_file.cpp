#include "input_file.hpp"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>

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
  Reserve(static_cast<size_t>(st.st_size) + 1);
  size_t used = 0;
  while (true) {
    if (used == capacity_) Reserve(2 * capacity_);
    ssize_t n = ::read(fd, buffer_.get() + used, capacity_ - used);
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
  SplitLines(std::string_view(buffer_.get(), used), lines_);
}

void InputFile::Reserve(size_t capacity) {
  if (capacity <= capacity_) return;
  // Not zeroed: every byte used is read from the file first.
  auto bigger = std::make_unique_for_overwrite<char[]>(capacity);
  if (capacity_ > 0) std::memcpy(bigger.get(), buffer_.get(), capacity_);
  buffer_ = std::move(bigger);
  capacity_ = capacity;
}

void InputFile::Release() {
  lines_.clear();
}

size_t InputFile::LineNumberOf(std::string_view line) const {
  auto it = std::upper_bound(lines_.begin(), lines_.end(), line.data(),
                             [](const char* p, std::string_view l) { return p < l.data(); });
  return it == lines_.begin() ? 0 : static_cast<size_t>(it - lines_.begin() - 1);
}

}  // namespace pelmora
