#include "fields.hpp"

#include <algorithm>
#include <bit>
#include <cstdint>
#include <cstring>

#include "byte_classes.hpp"

namespace pelmora {
namespace {

// Blanks and control characters separate fields; the NUL byte never occurs
// inside a line read from a file, and ends the line when it does.
bool IsSkippable(char c) {
  auto u = static_cast<unsigned char>(c);
  return u >= 1 && u <= 32;
}

bool EndsPlainValue(char c, char delimiter) {
  return static_cast<unsigned char>(c) <= 32 || c == delimiter;
}

// The end of the plain value starting at i: the first blank, control
// character or delimiter. Eight bytes are tested at a time; a byte below 33
// or equal to the delimiter sets the high bit of its lane, exactly up to the
// first such byte, whose position the lowest set bit gives.
size_t FindPlainValueEnd(std::string_view line, size_t i, char delimiter) {
  constexpr uint64_t kOnes = 0x0101010101010101ULL, kHighs = 0x8080808080808080ULL;
  const uint64_t delimiters = kOnes * static_cast<unsigned char>(delimiter);
  while (line.size() - i >= 8) {
    uint64_t word;
    std::memcpy(&word, line.data() + i, sizeof word);
    const uint64_t low = (word - kOnes * 33) & ~word & kHighs;
    const uint64_t same = word ^ delimiters;
    const uint64_t hit = low | ((same - kOnes) & ~same & kHighs);
    if (hit != 0) return i + (std::countr_zero(hit) >> 3);
    i += 8;
  }
  while (i < line.size() && !EndsPlainValue(line[i], delimiter)) ++i;
  return i;
}

size_t SkipBlanks(std::string_view line, size_t i) {
  while (i < line.size() && IsSkippable(line[i])) ++i;
  return i;
}

}  // namespace

void FieldSplitter::Split(std::string_view line) {
  fields_.clear();
  if (!SplitPlain(line, false)) SplitGeneral(line);
}

void FieldSplitter::SplitPadded(std::string_view line) {
  fields_.clear();
  if (!SplitPlain(line, true)) SplitGeneral(line);
}

namespace {

// Nearly every line of map data holds no blank, control character or quote:
// its fields are then exactly the texts between delimiters, found in one
// pass. Returns false, having kept nothing, on the first byte that needs the
// general rules.
template <class Classifier>
[[gnu::noinline]] bool SplitPlainWith(std::string_view line, bool padded, char delimiter,
                                      std::vector<std::string_view>& fields) {
  const size_t size = line.size();
  size_t start = 0;
  for (size_t block = 0; block < size; block += 16) {
    auto classes =
        Classifier::Of(line.data() + block, std::min<size_t>(16, size - block), delimiter, padded);
    if (classes.specials != 0) {
      fields.clear();
      return false;
    }
    for (; classes.delimiters != 0; classes.delimiters &= classes.delimiters - 1) {
      const size_t i = block + static_cast<size_t>(std::countr_zero(classes.delimiters));
      fields.push_back(line.substr(start, i - start));
      start = i + 1;
      if (fields.size() == static_cast<size_t>(FieldSplitter::kMaxFields)) {
        // Where the general rules stop too: a delimiter that ends the line
        // still gives its empty field, anything else is dropped.
        if (i == size - 1) fields.emplace_back();
        return true;
      }
    }
  }
  if (size > 0) fields.push_back(line.substr(start));
  return true;
}

// kPadded: the line is followed by kPaddingAfterLine readable bytes.
template <class Classifier, bool kPadded>
bool SurelyFewerFieldsWith(std::string_view line, int n) {
  size_t delimiters = 0;
  for (size_t block = 0; block < line.size(); block += 16) {
    const auto classes = Classifier::Of(line.data() + block,
                                        std::min<size_t>(16, line.size() - block), ',', kPadded);
    if (classes.specials != 0) return false;
    // Lines hold few delimiters: clearing the lowest bit per delimiter is
    // cheaper than a population count without the processor's instruction.
    for (uint32_t bits = classes.delimiters; bits != 0; bits &= bits - 1) ++delimiters;
  }
  return n >= 1 && delimiters + 1 < static_cast<size_t>(n);
}

template <class Classifier>
bool SurelyFewerFieldsPaddedWith(std::string_view line, int n) {
  // Coordinate lines, which an index passes over by the hundred thousand,
  // are shorter than 32 bytes: both blocks are classified at once, without
  // a loop over blocks.
  if (line.size() <= 32) {
    const ByteClasses low = Classifier::Of(line.data(), 16, ',', true);
    const ByteClasses high = Classifier::Of(line.data() + 16, 16, ',', true);
    const auto valid = static_cast<uint32_t>((uint64_t{1} << line.size()) - 1);
    if (((low.specials | high.specials << 16) & valid) != 0) return false;
    int delimiters = 0;
    for (uint32_t bits = (low.delimiters | high.delimiters << 16) & valid;
         bits != 0 && delimiters < n; bits &= bits - 1) {
      ++delimiters;
    }
    return n >= 1 && delimiters + 1 < n;
  }
  return SurelyFewerFieldsWith<Classifier, true>(line, n);
}

}  // namespace

bool FieldSplitter::SplitPlain(std::string_view line, bool padded) {
  return WithByteClassifier([&](auto classifier) {
    return SplitPlainWith<decltype(classifier)>(line, padded, delimiter_, fields_);
  });
}

bool SurelyFewerFields(std::string_view line, int n) {
  return WithByteClassifier(
      [&](auto classifier) { return SurelyFewerFieldsWith<decltype(classifier), false>(line, n); });
}

bool SurelyFewerFieldsPadded(std::string_view line, int n) {
  return WithByteClassifier(
      [&](auto classifier) { return SurelyFewerFieldsPaddedWith<decltype(classifier)>(line, n); });
}

void FieldSplitter::SplitGeneral(std::string_view line) {
  fields_.clear();
  unquoted_.clear();
  // Unquoted values are never longer than the line, so the buffer never moves
  // while views into it are handed out.
  if (unquoted_.capacity() < line.size()) unquoted_.reserve(line.size());

  // A NUL byte ends the line. Plain values and blanks stop at it, so the
  // line is searched for one only where a quoted value could run past it.
  size_t i = SkipBlanks(line, 0);
  while (i < line.size() && line[i] != '\0' && fields_.size() < static_cast<size_t>(kMaxFields)) {
    if (line[i] == '"') {
      if (auto nul = line.find('\0', i); nul != std::string_view::npos) line = line.substr(0, nul);
      i = ReadQuoted(line, i + 1);
    } else {
      size_t start = i;
      i = FindPlainValueEnd(line, i, delimiter_);
      fields_.push_back(line.substr(start, i - start));
    }
    i = SkipBlanks(line, i);
    if (i < line.size() && line[i] == delimiter_) {
      if (i == line.size() - 1 || line[i + 1] == '\0') fields_.emplace_back();
      i = SkipBlanks(line, i + 1);
    }
  }
}

// Reads a quoted value that starts at i (just after the opening quote) and
// returns the position after its closing quote.
size_t FieldSplitter::ReadQuoted(std::string_view line, size_t i) {
  size_t close = line.find('"', i);
  if (close == std::string_view::npos) {
    fields_.push_back(line.substr(i));
    return line.size();
  }
  if (close + 1 >= line.size() || line[close + 1] != '"') {
    fields_.push_back(line.substr(i, close - i));  // the common case: no doubled quote
    return close + 1;
  }
  // Doubled quotes stand for one quote each: the value is built in the buffer.
  size_t begin = unquoted_.size();
  while (true) {
    unquoted_.append(line.substr(i, close - i));
    if (close + 1 < line.size() && line[close + 1] == '"') {
      unquoted_.push_back('"');
      i = close + 2;
      close = line.find('"', i);
      if (close == std::string_view::npos) {
        unquoted_.append(line.substr(i));
        i = line.size();
        break;
      }
    } else {
      i = close + 1;
      break;
    }
  }
  fields_.push_back(std::string_view(unquoted_).substr(begin));
  return i;
}

bool FirstFieldMayEqual(std::string_view line, std::string_view value) {
  if (line.empty()) return value.empty();
  // A leading blank, control character, NUL or quote: only the splitter can
  // tell where field 1 begins and what it holds.
  if (IsSkippable(line[0]) || line[0] == '\0' || line[0] == '"') return true;
  // Otherwise field 1 is the plain value at the very start of the line.
  // Compared byte by byte: the values are type codes of a few bytes, and
  // the first byte already differs on most lines.
  if (line.size() < value.size()) return false;
  for (size_t i = 0; i < value.size(); ++i) {
    if (line[i] != value[i]) return false;
  }
  return line.size() == value.size() || EndsPlainValue(line[value.size()], ',');
}

std::string_view FirstField(std::string_view line, FieldSplitter& splitter) {
  bool plain = !line.empty();
  for (char c : line) plain = plain && !EndsPlainValue(c, ',') && c != '"';
  if (plain) return line;
  splitter.Split(line);
  return splitter[1];
}

std::string GetField(std::string_view line, int n, std::string_view delimiter) {
  FieldSplitter splitter(delimiter.empty() ? ',' : delimiter.front());
  splitter.Split(line);
  return std::string(splitter[n]);
}

int PosFrom(int start, std::string_view pattern, std::string_view subject) {
  if (start > static_cast<int>(subject.size())) return 0;
  if (start < 1) start = 1;
  if (pattern.empty()) return 0;
  size_t p = subject.find(pattern, static_cast<size_t>(start - 1));
  return p == std::string_view::npos ? 0 : static_cast<int>(p) + 1;
}

int CountOccurrences(int start, std::string_view pattern, std::string_view subject) {
  const int length = static_cast<int>(subject.size());
  if (start > length) return 0;
  if (start < 1) start = 1;
  int count = 0;
  while (start <= length) {
    int p = PosFrom(start, pattern, subject);
    if (p == 0) break;
    ++count;
    start = p + static_cast<int>(pattern.size());
  }
  return count;
}

void AppendQuoted(std::string& out, std::string_view value) {
  out.push_back('"');
  size_t from = 0;
  for (size_t q = value.find('"'); q != std::string_view::npos; q = value.find('"', from)) {
    out.append(value.substr(from, q + 1 - from));
    out.push_back('"');
    from = q + 1;
  }
  out.append(value.substr(from));
  out.push_back('"');
}

std::string QuoteField(std::string_view value) {
  std::string out;
  out.reserve(value.size() + 2);
  AppendQuoted(out, value);
  return out;
}

void AppendQuotedValues(std::string& out, std::span<const std::string_view> values) {
  for (size_t i = 0; i < values.size(); ++i) {
    if (i > 0) out.push_back(',');
    AppendQuoted(out, values[i]);
  }
}

}  // namespace pelmora
