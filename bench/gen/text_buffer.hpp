#pragma once
// Builds the text of one map-data file in memory: comma-separated fields,
// CR LF line ends, coordinates from whole millimetres with fixed decimals.
// Formatting is done by hand because it is the generator's hot path.
#include <cstdint>
#include <string>
#include <string_view>

namespace pelmora::gen {

class TextBuffer {
 public:
  // decimals: 2 or 3 digits after the point for coordinates.
  explicit TextBuffer(int decimals = 3) : decimals_(decimals) {}

  TextBuffer& Text(std::string_view text) {
    out_.append(text);
    return *this;
  }
  TextBuffer& Comma() {
    out_.push_back(',');
    return *this;
  }
  // A field preceded by a comma.
  TextBuffer& Field(std::string_view text) { return Comma().Text(text); }
  TextBuffer& Field(int64_t value) { return Comma().Int(value); }
  TextBuffer& Int(int64_t value);
  // A length in millimetres written in metres with the buffer's decimals.
  TextBuffer& Metres(int64_t millimetres);
  TextBuffer& EndLine() {
    out_.append("\r\n");
    return *this;
  }
  // A coordinate line: northing, easting.
  TextBuffer& Coordinate(int64_t northing_mm, int64_t easting_mm) {
    return Metres(northing_mm).Comma().Metres(easting_mm).EndLine();
  }

  const std::string& str() const { return out_; }
  size_t size() const { return out_.size(); }
  int decimals() const { return decimals_; }

 private:
  std::string out_;
  int decimals_;
};

}  // namespace pelmora::gen
