#pragma once
// An input file read whole, with its lines as views into its bytes.
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace pelmora {

class InputFile {
 public:
  // Reads path in one go and cuts it into lines. Throws FileOpenError with
  // the path and the system's reason when it cannot be opened or read.
  void Load(const std::string& path);
  // Forgets the lines. The buffer is kept for the next file, so that a
  // converter reading one file per area allocates (and the system maps fresh
  // pages) only when a file is larger than every one before.
  void Release();

  const std::vector<std::string_view>& lines() const { return lines_; }
  size_t LineCount() const { return lines_.size(); }
  std::string_view Line(size_t i) const { return lines_[i]; }
  // The 0-based line number of a view into this file's bytes.
  size_t LineNumberOf(std::string_view line) const;

 private:
  void Reserve(size_t capacity);  // keeps the bytes read so far

  std::unique_ptr<char[]> buffer_;
  size_t capacity_ = 0;
  std::vector<std::string_view> lines_;
};

[[noreturn]] void ThrowFileOpenError(const std::string& path, int code);

}  // namespace pelmora
