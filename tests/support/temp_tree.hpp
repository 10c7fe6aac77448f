#pragma once
// Scratch folders for tests: map data written as code page 932 with CR LF,
// outputs read back as bytes.
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <sstream>
#include <string>

#include "core/text/cp932.hpp"

namespace pelmora::testing_support {

namespace fs = std::filesystem;

class TempTree {
 public:
  TempTree() {
    static std::atomic<int> counter{0};
    // The time too: wine gives a new process the id of an ended one, whose
    // folder may still be there.
    const auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
    root_ = fs::temp_directory_path() / ("pelmora-test-" + std::to_string(::getpid()) + "-" +
                                         std::to_string(stamp) + "-" + std::to_string(counter++));
    fs::remove_all(root_);
    fs::create_directories(root_);
  }
  ~TempTree() {
    std::error_code ignored;
    fs::permissions(root_, fs::perms::owner_all, fs::perm_options::add, ignored);
    fs::remove_all(root_, ignored);
  }
  TempTree(const TempTree&) = delete;
  TempTree& operator=(const TempTree&) = delete;

  const fs::path& root() const { return root_; }
  std::string Path(const std::string& relative) const { return (root_ / relative).string(); }

  // Writes UTF-8 lines as code page 932, each ending with CR LF.
  void WriteLines(const std::string& relative, std::initializer_list<std::string> lines) {
    std::string bytes;
    for (const auto& line : lines) bytes += Utf8ToCp932(line) + "\r\n";
    WriteBytes(relative, bytes);
  }
  void WriteBytes(const std::string& relative, const std::string& bytes) {
    fs::path path = root_ / relative;
    fs::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << bytes;
  }
  std::string ReadBytes(const std::string& relative) const { return ReadFile(root_ / relative); }
  // The file decoded from code page 932.
  std::string ReadText(const std::string& relative) const {
    return Cp932ToUtf8Lossy(ReadBytes(relative));
  }
  bool Exists(const std::string& relative) const { return fs::exists(root_ / relative); }
  void MakeDir(const std::string& relative) { fs::create_directories(root_ / relative); }

  static std::string ReadFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
  }

 private:
  fs::path root_;
};

}  // namespace pelmora::testing_support
