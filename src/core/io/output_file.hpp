#pragma once
// A text file written through a large buffer, in binary (the "\r\n" of a
// line goes out as it is), with failures reported as IoError carrying the
// system's text for the error code.
#include <string>
#include <string_view>

#include "../platform/files.hpp"
#include "buffer_pool.hpp"

namespace pelmora {

class OutputFile {
 public:
  OutputFile();
  ~OutputFile();  // closes without reporting; call Close to learn of errors
  OutputFile(const OutputFile&) = delete;
  OutputFile& operator=(const OutputFile&) = delete;

  // Creates path. With exclusive, fails when it exists (for temporary files);
  // otherwise replaces it.
  void Create(const std::string& path, bool exclusive = false);
  void Write(std::string_view text) {
    if (text.size() > kBufferSize - used_) Flush();
    if (text.size() > kBufferSize) {
      WriteThrough(text);
      return;
    }
    text.copy(buffer_.bytes.get() + used_, text.size());
    used_ += text.size();
  }
  void WriteLine(std::string_view text) {
    Write(text);
    Write("\r\n");
  }
  // Room for n bytes (n at most a few hundred) to be filled and then
  // committed with Commit, to format numbers in place.
  char* Reserve(size_t n) {
    if (n > kBufferSize - used_) Flush();
    return buffer_.bytes.get() + used_;
  }
  void Commit(size_t n) { used_ += n; }

  void Flush();
  // Flushes and closes; throws IoError. The file is closed also when the
  // last write or the close fails (an open handle would keep a temporary
  // file from being removed on Windows).
  void Close();
  bool IsOpen() const { return file_ != platform::kNoFile; }
  const std::string& path() const { return path_; }
  // How error messages name the file when it differs from its path (a
  // temporary file is named by the file it becomes). Set before Create.
  void SetDisplayName(std::string name) { display_name_ = std::move(name); }
  // Names a file that another library writes: path() gives it, nothing is
  // opened here, and Close has nothing to do.
  void AssignPath(std::string path) { path_ = std::move(path); }

 private:
  static constexpr size_t kBufferSize = 1 << 20;
  void WriteThrough(std::string_view text);
  [[noreturn]] void Fail(int code) const;
  void ReleaseBuffer();
  void CloseQuietly();

  platform::FileHandle file_ = platform::kNoFile;
  std::string path_, display_name_;
  PooledBuffer buffer_;  // from the thread's pool while a file is open
  size_t used_ = 0;
};

[[noreturn]] void ThrowIoError(int code);
// The same, naming file as the place of the fault.
[[noreturn]] void ThrowIoError(int code, const std::string& file);

}  // namespace pelmora
