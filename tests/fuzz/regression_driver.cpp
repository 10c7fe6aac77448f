// Feeds saved fuzz inputs to a fuzz entry function without libFuzzer, so the
// inputs that once found a fault (and the seed corpus) run in every build.
// Usage: fuzz_regressions text|area <file or folder>...
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "fuzz_entries.hpp"

namespace {

namespace fs = std::filesystem;

std::vector<fs::path> InputsOf(const fs::path& path) {
  std::vector<fs::path> inputs;
  if (fs::is_directory(path)) {
    for (const auto& entry : fs::directory_iterator(path)) {
      if (entry.is_regular_file() && entry.path().filename().string().front() != '.') {
        inputs.push_back(entry.path());
      }
    }
  } else {
    inputs.push_back(path);
  }
  std::sort(inputs.begin(), inputs.end());
  return inputs;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: %s text|area <file or folder>...\n", argv[0]);
    return 2;
  }
  auto entry =
      std::strcmp(argv[1], "text") == 0 ? pelmora::fuzz::FuzzText : pelmora::fuzz::FuzzArea;
  int count = 0;
  for (int i = 2; i < argc; ++i) {
    for (const fs::path& input : InputsOf(argv[i])) {
      std::ifstream in(input, std::ios::binary);
      std::ostringstream bytes;
      bytes << in.rdbuf();
      const std::string data = bytes.str();
      std::printf("%s\n", input.filename().c_str());
      std::fflush(stdout);
      entry(reinterpret_cast<const uint8_t*>(data.data()), data.size());
      ++count;
    }
  }
  std::printf("%d inputs passed\n", count);
  return count > 0 ? 0 : 1;
}
