#include "rescan_lookups.hpp"

#include <cstdlib>

#include "core/input/companion_file.hpp"
#include "core/input/input_file.hpp"
#include "core/text/fields.hpp"
#include "core/text/numbers.hpp"

namespace pelmora::reference {

std::string LookupAttributes(const std::string& path, std::string_view key, int value_count) {
  InputFile file;
  file.Load(path);
  std::string found_line;
  bool found = false;
  for (std::string_view line : file.lines()) {
    if (GetField(line, 2) == key) {
      found_line = line;
      found = true;
      break;
    }
  }
  std::string result;
  for (int k = 4; k < 4 + value_count; ++k) {
    if (k > 4) result += ",";
    result += QuoteField(found ? GetField(found_line, k) : std::string());
  }
  return result;
}

void AppendArcPoints(const std::string& path, std::string_view reference,
                     std::vector<std::string>& out) {
  const int64_t number = StrToInt(reference);
  InputFile file;
  file.Load(path);
  const std::string key = std::to_string(std::llabs(number));
  const auto& lines = file.lines();
  for (size_t r = 0; r < lines.size(); ++r) {
    if (GetField(lines[r], 3) != key) continue;
    const int32_t m = StrToInt(GetField(lines[r], 4));
    std::vector<std::string> scratch;
    for (int32_t i = 1; i <= m; ++i) {
      if (r + static_cast<size_t>(i) >= lines.size()) ThrowListIndexError(lines.size());
      scratch.emplace_back(lines[r + static_cast<size_t>(i)]);
    }
    if (number >= 0) {
      out.insert(out.end(), scratch.begin(), scratch.end());
    } else {
      out.insert(out.end(), scratch.rbegin(), scratch.rend());
    }
    return;
  }
}

}  // namespace pelmora::reference
