#include "output_file.hpp"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>

#include "../errors.hpp"
#include "file_faults.hpp"

namespace pelmora {

void ThrowIoError(int code) {
  throw IoError(SystemErrorText(code), code);
}

void ThrowIoError(int code, const std::string& file) {
  IoError error(SystemErrorText(code), code);
  error.SetPlace(file, 0);
  throw error;
}

// A failed write names the output file, never the input line being converted
// when the disk filled up.
void OutputFile::Fail(int code) const {
  ThrowIoError(code, display_name_.empty() ? path_ : display_name_);
}

OutputFile::OutputFile() = default;

OutputFile::~OutputFile() {
  if (fd_ >= 0) ::close(fd_);
  ReleaseBuffer();
}

void OutputFile::ReleaseBuffer() {
  GiveBackBuffer(std::move(buffer_));
  buffer_ = {};
}

void OutputFile::Create(const std::string& path, bool exclusive) {
  if (fd_ >= 0) ::close(fd_);
  fd_ = -1;
  used_ = 0;
  path_ = path;
  if (int fault = InjectedFault(FileOp::kCreate, path)) Fail(fault);
  int flags = O_WRONLY | O_CREAT | O_CLOEXEC | (exclusive ? O_EXCL : O_TRUNC);
  fd_ = ::open(path.c_str(), flags, 0666);
  if (fd_ < 0) Fail(errno);
  // The buffer may be larger; kBufferSize is used.
  if (!buffer_.bytes) buffer_ = TakeBuffer(kBufferSize);
}

void OutputFile::WriteThrough(std::string_view text) {
  if (int fault = InjectedFault(FileOp::kWrite, path_)) Fail(fault);
  while (!text.empty()) {
    ssize_t n = ::write(fd_, text.data(), text.size());
    if (n < 0) {
      if (errno == EINTR) continue;
      Fail(errno);
    }
    if (n == 0) Fail(ENOSPC);  // no progress: do not spin
    text.remove_prefix(static_cast<size_t>(n));
  }
}

void OutputFile::Flush() {
  if (used_ == 0) return;
  size_t n = used_;
  used_ = 0;
  WriteThrough(std::string_view(buffer_.bytes.get(), n));
}

void OutputFile::Close() {
  if (fd_ < 0) return;
  Flush();
  // A closed file needs no buffer: a finished layer that waits for its turn
  // to be committed gives it to the next layer of its thread.
  ReleaseBuffer();
  int fd = fd_;
  fd_ = -1;
  if (::close(fd) != 0 && errno != EINTR) Fail(errno);
}

}  // namespace pelmora
