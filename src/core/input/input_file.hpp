#pragma once
// An input file read whole, with its lines as views into its bytes.
#include <string>
#include <string_view>
#include <vector>

#include "../io/buffer_pool.hpp"

namespace pelmora {

class InputFile {
 public:
  InputFile() = default;
  ~InputFile() { Release(); }
  InputFile(const InputFile&) = delete;
  InputFile& operator=(const InputFile&) = delete;

  // Reads path in one go and cuts it into lines. Throws FileOpenError with
  // the path and the system's reason when it cannot be opened or read.
  void Load(const std::string& path);
  // Forgets the file. Its buffer and line table go back to the thread's
  // pool (io/buffer_pool.hpp) for the next file.
  void Release();

  const std::vector<std::string_view>& lines() const { return lines_; }
  size_t LineCount() const { return lines_.size(); }
  std::string_view Line(size_t i) const { return lines_[i]; }
  // The 0-based line number of a view into this file's bytes.
  size_t LineNumberOf(std::string_view line) const;

 private:
  void Reserve(size_t capacity, size_t used);  // keeps the first `used` bytes

  PooledBuffer buffer_;
  std::vector<std::string_view> lines_;
};

[[noreturn]] void ThrowFileOpenError(const std::string& path, int code);

}  // namespace pelmora
