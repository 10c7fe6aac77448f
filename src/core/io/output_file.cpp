#include "output_file.hpp"

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
  CloseQuietly();
  ReleaseBuffer();
}

void OutputFile::CloseQuietly() {
  if (file_ == platform::kNoFile) return;
  platform::CloseFile(file_);
  file_ = platform::kNoFile;
}

void OutputFile::ReleaseBuffer() {
  GiveBackBuffer(std::move(buffer_));
  buffer_ = {};
}

void OutputFile::Create(const std::string& path, bool exclusive) {
  CloseQuietly();
  used_ = 0;
  path_ = path;
  if (int fault = InjectedFault(FileOp::kCreate, path)) Fail(fault);
  if (int code = platform::CreateForWriting(path, exclusive, file_)) Fail(code);
  // The buffer may be larger; kBufferSize is used.
  if (!buffer_.bytes) buffer_ = TakeBuffer(kBufferSize);
}

void OutputFile::WriteThrough(std::string_view text) {
  if (int fault = InjectedFault(FileOp::kWrite, path_)) Fail(fault);
  while (!text.empty()) {
    size_t written = 0;
    if (int code = platform::WriteSome(file_, text.data(), text.size(), written)) Fail(code);
    if (written == 0) Fail(ENOSPC);  // no progress: do not spin
    text.remove_prefix(written);
  }
}

void OutputFile::Flush() {
  if (used_ == 0) return;
  size_t n = used_;
  used_ = 0;
  WriteThrough(std::string_view(buffer_.bytes.get(), n));
}

void OutputFile::Close() {
  if (file_ == platform::kNoFile) return;
  try {
    Flush();
  } catch (const IoError&) {
    // The file is closed before the write's failure is reported, so that the
    // caller can remove it.
    CloseQuietly();
    ReleaseBuffer();
    throw;
  }
  // A closed file needs no buffer: a finished layer that waits for its turn
  // to be committed gives it to the next layer of its thread.
  ReleaseBuffer();
  const platform::FileHandle file = file_;
  file_ = platform::kNoFile;
  if (int code = platform::CloseFile(file)) Fail(code);
}

}  // namespace pelmora
