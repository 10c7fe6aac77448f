#pragma once
// Fields of a comma-separated record line of the map data. The rules are not
// those of common CSV readers: a blank or a control character also ends a
// field, and a trailing comma gives an empty last field only when it is the
// very last character of the line.
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace pelmora {

// Cuts a line into its fields once and hands them out by number. The views
// point into the line, or into the splitter's own buffer for quoted values
// that hold doubled quotes; they stay valid until the next Split. A splitter
// reused from line to line allocates nothing once it has seen the longest line.
// Only the first kMaxFields fields are kept (later ones read as empty): no
// record has nearly as many, and a line of nothing but commas would otherwise
// cost 16 bytes per comma.
// Bytes after a line that the padded forms below may read (but never use).
inline constexpr size_t kPaddingAfterLine = 32;

class FieldSplitter {
 public:
  explicit FieldSplitter(char delimiter = ',') : delimiter_(delimiter) {}

  static constexpr int kMaxFields = 4096;

  void Split(std::string_view line);
  // The same for a line followed in memory by at least kPaddingAfterLine
  // readable bytes (the lines of an InputFile), which are read in whole
  // blocks instead of being copied out first.
  void SplitPadded(std::string_view line);
  // Split by the full rules, without the quick pass for plain lines that
  // Split tries first; both must cut every line alike.
  void SplitGeneral(std::string_view line);

  // Field n, counted from 1; empty for a number below 1 or past the last field.
  std::string_view operator[](int n) const {
    return n >= 1 && n <= static_cast<int>(fields_.size()) ? fields_[n - 1] : std::string_view();
  }
  int Count() const { return static_cast<int>(fields_.size()); }

 private:
  bool SplitPlain(std::string_view line, bool padded);
  size_t ReadQuoted(std::string_view line, size_t i);

  char delimiter_;
  std::vector<std::string_view> fields_;
  std::string unquoted_;
};

// A quick test before cutting a line into fields: false when field 1 of the
// line (split by ",") surely differs from value, true when it may equal it.
// Lets a layer pass over the many lines that are not its records, above all
// coordinate lines, without cutting them into fields.
bool FirstFieldMayEqual(std::string_view line, std::string_view value);

// True when the line, split by ",", surely has fewer than n fields, seen
// without cutting it: with no blank, control character or quote in it, only
// commas separate its fields. An index passes over the coordinate lines of
// an arc file this way.
bool SurelyFewerFields(std::string_view line, int n);
// The same for a line followed by kPaddingAfterLine readable bytes.
bool SurelyFewerFieldsPadded(std::string_view line, int n);

// Field 1 of the line split by ",": the line itself when it is one plain
// value (no comma, blank, control character or quote), as reference lines
// are; otherwise splitter cuts it, and the view lives until its next Split.
std::string_view FirstField(std::string_view line, FieldSplitter& splitter);

// Field n (1-based) of the line, split by the first character of delimiter.
std::string GetField(std::string_view line, int n, std::string_view delimiter = ",");

// 1-based position of the first occurrence of pattern in subject at or after
// start; 0 when there is none. An empty pattern is never found.
int PosFrom(int start, std::string_view pattern, std::string_view subject);

// Number of non-overlapping occurrences of pattern in subject from start on.
int CountOccurrences(int start, std::string_view pattern, std::string_view subject);

// A MID value: the text in double quotes. A double quote inside the value is
// doubled, which is how MapInfo and GDAL read a quote back; nothing else
// changes.
std::string QuoteField(std::string_view value);
void AppendQuoted(std::string& out, std::string_view value);
// The values, each quoted, joined by ",": a MID row without its line end.
void AppendQuotedValues(std::string& out, std::span<const std::string_view> values);

}  // namespace pelmora
