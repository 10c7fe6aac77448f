#include "expected_warnings.hpp"

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <map>
#include <optional>

#include "core/conversion/layer_table.hpp"
#include "core/text/fields.hpp"
#include "core/text/numbers.hpp"

namespace pelmora::fuzz {
namespace {

namespace fs = std::filesystem;

constexpr size_t kColumnBytes = 100;

// A file's lines (cut at CR LF, CR or LF; a NUL ends the text), or nothing
// when the area lacks the file.
std::optional<std::vector<std::string>> ReadLines(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in || fs::is_directory(path)) return std::nullopt;
  std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  bytes = bytes.substr(0, bytes.find('\0'));
  std::vector<std::string> lines;
  size_t start = 0;
  while (start < bytes.size()) {
    size_t end = bytes.find_first_of("\r\n", start);
    if (end == std::string::npos) end = bytes.size();
    lines.push_back(bytes.substr(start, end - start));
    if (end < bytes.size() && bytes[end] == '\r' && end + 1 < bytes.size() &&
        bytes[end + 1] == '\n') {
      ++end;
    }
    start = end + 1;
  }
  return lines;
}

class PlainReading {
 public:
  PlainReading(const fs::path& area, const std::string& name) : area_(area), name_(name) {}

  void Zone(int chosen_zone) {
    const std::string file = name_ + ".txt";
    auto lines = ReadLines(area_ / file);
    if (!lines || lines->size() < 7) return;
    if (TryStrToInt(GetField((*lines)[6], 1)) != chosen_zone) Add("zone_mismatch", file, 7);
  }

  void Layer(const LayerDef& layer) {
    if (layer.kind == LayerKind::kFrame) return Frame();
    const std::string input(layer.input_path);
    auto lines = ReadLines(area_ / input);
    if (!lines || lines->empty()) return;
    const std::string sheet = GetField((*lines)[0], 2);
    for (size_t k = 1; k < lines->size();) {
      const std::string& line = (*lines)[k];
      if (GetField(line, 1) != layer.type_code) {
        ++k;
        continue;
      }
      std::vector<std::string> values = {sheet, GetField(line, 2)};
      size_t vertices = 1, next = k + 1;
      if (layer.kind == LayerKind::kLine) {
        values.push_back(GetField(line, 3));
        vertices = static_cast<size_t>(StrToInt(GetField(line, 4)));
        next = k + 1 + vertices;
      } else if (layer.kind == LayerKind::kPolygon) {
        const int32_t references = std::max(StrToInt(GetField(line, 3)), 0);
        vertices = RingVertices(layer, input, *lines, k, references);
        next = k + 1 + static_cast<size_t>(references);
      }
      if (!layer.attribute_path.empty()) {
        Attributes(layer, values, layer.kind == LayerKind::kLine ? values[2] : values[1], input, k);
      }
      Values(values, input, k);
      if (layer.kind != LayerKind::kPoint && vertices < 2) Add("empty_object", input, k + 1);
      k = next;
    }
  }

  std::vector<WarningKey> Sorted() {
    std::sort(warnings_.begin(), warnings_.end());
    return warnings_;
  }

 private:
  void Add(const char* kind, const std::string& file, size_t line) {
    warnings_.push_back(std::string(kind) + " " + name_ + "/" + file + " " + std::to_string(line));
  }

  void Frame() {
    const std::string file = name_ + ".txt";
    auto lines = ReadLines(area_ / file);
    if (!lines || lines->size() < 10) return;
    Values({name_, GetField((*lines)[6], 10), GetField((*lines)[6], 1)}, file, 6);
  }

  // The vertices of the arcs the polygon at line k references; warns about
  // each reference the arc file lacks.
  size_t RingVertices(const LayerDef& layer, const std::string& input,
                      const std::vector<std::string>& lines, size_t k, int32_t references) {
    const std::vector<std::string>& arcs = Cached(std::string(layer.arc_path));
    size_t vertices = 0;
    for (size_t r = k + 1; r <= k + static_cast<size_t>(references); ++r) {
      const std::string key = std::to_string(std::llabs(StrToInt(GetField(lines[r], 1))));
      auto arc = std::find_if(arcs.begin(), arcs.end(),
                              [&](const std::string& a) { return GetField(a, 3) == key; });
      if (arc == arcs.end()) {
        Add("missing_arc", input, r + 1);
      } else {
        vertices += static_cast<size_t>(std::max(StrToInt(GetField(*arc, 4)), 0));
      }
    }
    return vertices;
  }

  void Attributes(const LayerDef& layer, std::vector<std::string>& values, std::string key,
                  const std::string& input, size_t k) {
    const std::vector<std::string>& lines = Cached(std::string(layer.attribute_path));
    auto found = std::find_if(lines.begin(), lines.end(),
                              [&](const std::string& a) { return GetField(a, 2) == key; });
    if (found == lines.end()) Add("missing_attributes", input, k + 1);
    for (int v = 0; v < layer.attribute_values; ++v) {
      values.push_back(found == lines.end() ? std::string() : GetField(*found, 4 + v));
    }
  }

  void Values(const std::vector<std::string>& values, const std::string& input, size_t k) {
    for (const std::string& value : values) {
      if (value.size() > kColumnBytes) Add("value_too_long", input, k + 1);
    }
  }

  // A companion file's lines; a run that ended without error found it.
  const std::vector<std::string>& Cached(const std::string& relative) {
    auto& lines = companions_[relative];
    if (!lines) lines = ReadLines(area_ / relative).value_or(std::vector<std::string>{});
    return *lines;
  }

  fs::path area_;
  std::string name_;
  std::vector<WarningKey> warnings_;
  std::map<std::string, std::optional<std::vector<std::string>>> companions_;
};

}  // namespace

std::vector<WarningKey> ExpectedWarnings(const fs::path& area, const std::string& area_name,
                                         int coordsys_index) {
  PlainReading reading(area, area_name);
  reading.Zone(coordsys_index % 19 + 1);
  for (const LayerDef& layer : LayerTable()) reading.Layer(layer);
  return reading.Sorted();
}

}  // namespace pelmora::fuzz
