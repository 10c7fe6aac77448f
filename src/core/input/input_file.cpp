#include "input_file.hpp"

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <utility>

#include "../errors.hpp"
#include "../io/file_faults.hpp"
#include "../platform/files.hpp"
#include "../text/fields.hpp"
#include "../text/lines.hpp"
#include "../text/numbers.hpp"

namespace pelmora {

static_assert(kCoordLinePadding >= kPaddingAfterLine, "the padded field forms read past a line");

namespace {

// Messages name the file by its full path, also when the map-data folder was
// given relative to the working folder.
std::string FullPath(const std::string& path) {
  return platform::AbsolutePath(path);
}

[[noreturn]] void ThrowFileTooLarge(const std::string& path) {
  throw FileOpenError("ファイル \"" + FullPath(path) + "\" は大きすぎて読み込めません");
}

}  // namespace

void ThrowFileOpenError(const std::string& path, int code) {
  // A folder, device or pipe where a file belongs is refused like an access
  // to it.
  if (code == EISDIR) code = EACCES;
  throw FileOpenError("ファイル \"" + FullPath(path) + "\". " + SystemErrorText(code) +
                      " は開けません");
}

namespace {

// Opens path for reading, in binary (every byte is read, a 0x1A too); only a
// regular file is accepted, and a named pipe is not waited for.
platform::FileHandle OpenRegularFile(const std::string& path, uint64_t& size) {
  if (int fault = InjectedFault(FileOp::kOpenRead, path)) ThrowFileOpenError(path, fault);
  platform::FileHandle file = platform::kNoFile;
  if (int code = platform::OpenForReading(path, file, size)) ThrowFileOpenError(path, code);
  if (size > kMaxInputBytes) {
    platform::CloseFile(file);
    ThrowFileTooLarge(path);
  }
  return file;
}

}  // namespace

void InputFile::Load(const std::string& path) {
  Release();
  uint64_t size = 0;
  platform::FileHandle file = OpenRegularFile(path, size);
  // One read for the size the file has; a file that grows meanwhile is read
  // on to its end, but never past the limit.
  Reserve(static_cast<size_t>(size) + 1 + kCoordLinePadding, 0);
  size_t used = 0;
  while (true) {
    if (used == buffer_.capacity) {
      if (used > kMaxInputBytes) {
        platform::CloseFile(file);
        Release();
        ThrowFileTooLarge(path);
      }
      Reserve(std::min<size_t>(2 * buffer_.capacity, kMaxInputBytes + 1), used);
    }
    size_t got = 0;
    if (int code =
            platform::ReadSome(file, buffer_.bytes.get() + used, buffer_.capacity - used, got)) {
      platform::CloseFile(file);
      Release();
      ThrowFileOpenError(path, code);
    }
    if (got == 0) break;
    used += got;
  }
  platform::CloseFile(file);
  // Zero bytes after the text, so that numbers can be read eight bytes at a
  // time up to the end of the last line.
  if (buffer_.capacity - used < kCoordLinePadding) Reserve(used + kCoordLinePadding, used);
  std::memset(buffer_.bytes.get() + used, 0, kCoordLinePadding);
  const std::string_view text(buffer_.bytes.get(), used);
  size_ = used;
  // The line views cost 16 bytes each, more than a short line itself: a file
  // of nothing but line breaks is refused before they are made. Only a file
  // of more bytes than the bound can hold that many lines.
  if (used > kMaxInputLines && CountLines(text) > kMaxInputLines) {
    Release();
    ThrowFileTooLarge(path);
  }
  if (lines_.capacity() == 0) lines_ = TakeViewTable();
  // Room for lines of 16 bytes on average (map data has longer ones), so
  // that the table is not moved to fresh memory while it fills.
  lines_.reserve(used / 16 + 16);
  SplitLines(text, lines_);
}

void InputFile::Reserve(size_t capacity, size_t used) {
  if (capacity <= buffer_.capacity) return;
  // Not zeroed: every byte used is read from the file first.
  PooledBuffer bigger = TakeBuffer(capacity);
  if (used > 0) std::memcpy(bigger.bytes.get(), buffer_.bytes.get(), used);
  GiveBackBuffer(std::exchange(buffer_, std::move(bigger)));
}

void InputFile::Release() {
  GiveBackViewTable(std::move(lines_));
  lines_ = {};
  GiveBackBuffer(std::move(buffer_));
  buffer_ = {};
  size_ = 0;
}

size_t InputFile::LineNumberOf(std::string_view line) const {
  auto it = std::upper_bound(lines_.begin(), lines_.end(), line.data(),
                             [](const char* p, std::string_view l) { return p < l.data(); });
  return it == lines_.begin() ? 0 : static_cast<size_t>(it - lines_.begin() - 1);
}

}  // namespace pelmora
