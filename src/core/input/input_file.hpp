#pragma once
// An input file read whole, with its lines as views into its bytes.
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "../io/buffer_pool.hpp"
#include "../io/large_memory.hpp"
#include "../text/lines.hpp"

namespace pelmora {

// Bounds that keep the memory of one loaded file in proportion to what a real
// file needs (real map files are far smaller; a coordinate line is about
// twenty bytes). Line numbers also stay well inside an int.
inline constexpr size_t kMaxInputBytes = size_t{1} << 30;  // 1 GiB
inline constexpr size_t kMaxInputLines = size_t{1} << 25;  // 33,554,432 lines

class InputFile {
 public:
  InputFile() = default;
  ~InputFile() { Release(); }
  InputFile(const InputFile&) = delete;
  InputFile& operator=(const InputFile&) = delete;

  // Reads path in one go and cuts it into lines. Throws FileOpenError with
  // the path and the system's reason when it cannot be opened or read, when
  // it is no regular file, or when it is larger than the bounds above.
  void Load(const std::string& path);
  // Forgets the file. Its buffer and line table go back to the thread's
  // pool (io/buffer_pool.hpp) for the next file.
  void Release();

  // Every line is followed in memory by at least kCoordLinePadding readable
  // bytes, the first of which is its line break, a NUL or zero padding: the
  // lines can be read with TryReadCoordLineInPlace, SplitPadded and
  // SurelyFewerFieldsPadded.
  const LineTable& lines() const { return lines_; }
  size_t LineCount() const { return lines_.size(); }
  std::string_view Line(size_t i) const { return lines_[i]; }
  // The 0-based line number of a view into this file's bytes.
  size_t LineNumberOf(std::string_view line) const;
  // The bytes read, and the offset of a view into them.
  size_t size() const { return size_; }
  size_t OffsetOf(std::string_view line) const {
    return static_cast<size_t>(line.data() - buffer_.bytes.get());
  }

 private:
  void Reserve(size_t capacity, size_t used);  // keeps the first `used` bytes

  PooledBuffer buffer_;
  LineTable lines_;
  size_t size_ = 0;
};

[[noreturn]] void ThrowFileOpenError(const std::string& path, int code);

}  // namespace pelmora
