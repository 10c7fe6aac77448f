#include "output_check.hpp"

#include <fstream>
#include <set>
#include <sstream>

namespace pelmora::checks {
namespace {

std::string ReadAll(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

bool StartsWith(std::string_view text, size_t at, std::string_view prefix) {
  return text.compare(at, prefix.size(), prefix) == 0;
}

}  // namespace

size_t CountMifObjects(const std::string& mif_text) {
  size_t count = 0;
  for (size_t at = 0; at < mif_text.size();) {
    if (StartsWith(mif_text, at, "Point ") || StartsWith(mif_text, at, "PLine ") ||
        StartsWith(mif_text, at, "Region ") || StartsWith(mif_text, at, "none\r\n")) {
      ++count;
    }
    size_t end = mif_text.find("\r\n", at);
    if (end == std::string::npos) break;
    at = end + 2;
  }
  return count;
}

size_t CountMidRows(const std::string& mid_text) {
  size_t count = 0;
  for (size_t at = mid_text.find("\r\n"); at != std::string::npos;
       at = mid_text.find("\r\n", at + 2)) {
    ++count;
  }
  return count;
}

std::string CheckOutputFolder(const std::filesystem::path& folder, int expected_pairs) {
  std::set<std::string> mifs, mids;
  for (const auto& entry : std::filesystem::directory_iterator(folder)) {
    const std::string name = entry.path().filename().string();
    const std::string ext = entry.path().extension().string();
    const std::string stem = entry.path().stem().string();
    if (name.front() == '.' || ext == ".tmp") return "temporary file left: " + name;
    if (ext == ".mif") {
      mifs.insert(stem);
    } else if (ext == ".mid") {
      mids.insert(stem);
    } else {
      return "unexpected file: " + name;
    }
  }
  if (mifs != mids) return "a MIF file without its MID file or the reverse";
  if (expected_pairs >= 0 && static_cast<int>(mifs.size()) != expected_pairs) {
    return std::to_string(mifs.size()) + " pairs instead of " + std::to_string(expected_pairs);
  }
  for (const std::string& stem : mifs) {
    const std::string mif = ReadAll(folder / (stem + ".mif"));
    if (mif.find("\r\nData\r\n") == std::string::npos) return stem + ".mif has no header";
    const size_t objects = CountMifObjects(mif),
                 rows = CountMidRows(ReadAll(folder / (stem + ".mid")));
    if (objects != rows) {
      return stem + ": " + std::to_string(objects) + " objects but " + std::to_string(rows) +
             " rows";
    }
  }
  return {};
}

}  // namespace pelmora::checks
