// Fuzz target for the text layer: cutting lines, cutting fields and reading
// numbers must never crash, the throwing and non-throwing forms of the number
// conversions must agree, and so must the quick readings of common lines and
// the general ones.
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "core/errors.hpp"
#include "core/text/cp932.hpp"
#include "core/text/fields.hpp"
#include "core/text/lines.hpp"
#include "core/text/numbers.hpp"
#include "fuzz_entries.hpp"

namespace pelmora::fuzz {
namespace {

[[noreturn]] void Fail(const char* what, std::string_view text) {
  std::fprintf(stderr, "fuzz invariant broken: %s on '%.*s'\n", what,
               static_cast<int>(std::min<size_t>(text.size(), 200)), text.data());
  std::abort();
}

void CheckInteger(std::string_view text) {
  auto value = TryStrToInt(text);
  try {
    int32_t thrown = StrToInt(text);
    if (!value || *value != thrown) Fail("StrToInt differs from TryStrToInt", text);
  } catch (const DataError& e) {
    if (value) Fail("StrToInt throws where TryStrToInt reads a value", text);
    if (std::string_view(e.what()).empty()) Fail("empty message", text);
  }
  // A value read back from its own decimal form is the same value.
  if (value && TryStrToInt(std::to_string(*value)) != value) Fail("integer round trip", text);
}

void CheckFloat(std::string_view text) {
  auto value = TryStrToFloat(text);
  if (value && !std::isfinite(*value)) Fail("non-finite float", text);
  try {
    double thrown = StrToFloat(text);
    if (!value || *value != thrown) Fail("StrToFloat differs from TryStrToFloat", text);
  } catch (const DataError&) {
    if (value) Fail("StrToFloat throws where TryStrToFloat reads a value", text);
  }
}

// The quick readings of common lines must agree with the general rules.
void CheckQuickReadings(std::string_view line, const FieldSplitter& fields) {
  FieldSplitter general;
  general.SplitGeneral(line);
  if (general.Count() != fields.Count()) Fail("quick split counts differently", line);
  for (int n = 1; n <= fields.Count(); ++n) {
    if (general[n] != fields[n]) Fail("quick split cuts differently", line);
  }
  FieldSplitter scratch;
  if (FirstField(line, scratch) != fields[1]) Fail("FirstField differs", line);
  for (int n = 1; n <= 4; ++n) {
    if (SurelyFewerFields(line, n) && fields.Count() >= n) Fail("SurelyFewerFields wrong", line);
  }
  // The padded forms, with bytes after the line that must not count.
  const std::string storage = std::string(line) + std::string(kPaddingAfterLine, '"');
  const std::string_view in_place(storage.data(), line.size());
  FieldSplitter padded;
  padded.SplitPadded(in_place);
  if (padded.Count() != fields.Count()) Fail("padded split counts differently", line);
  for (int n = 1; n <= fields.Count(); ++n) {
    if (padded[n] != fields[n]) Fail("padded split cuts differently", line);
  }
  for (int n = 1; n <= 4; ++n) {
    if (SurelyFewerFieldsPadded(in_place, n) != SurelyFewerFields(line, n)) {
      Fail("SurelyFewerFieldsPadded differs", line);
    }
  }
  double first = 0, second = 0;
  if (TryReadCoordLine(line, first, second)) {
    auto want_first = TryStrToFloat(fields[1]), want_second = TryStrToFloat(fields[2]);
    if (fields.Count() != 2 || !want_first || !want_second ||
        std::signbit(first) != std::signbit(*want_first) || first != *want_first ||
        std::signbit(second) != std::signbit(*want_second) || second != *want_second) {
      Fail("TryReadCoordLine differs from splitting and converting", line);
    }
  }
}

void CheckLine(std::string_view line, FieldSplitter& fields) {
  if (line.find_first_of(std::string_view("\r\n\0", 3)) != std::string_view::npos) {
    Fail("line holds a line break or NUL", line);
  }
  fields.Split(line);
  CheckQuickReadings(line, fields);
  for (int n = 0; n <= fields.Count() + 1; ++n) {
    std::string_view field = fields[n];
    if ((n < 1 || n > fields.Count()) && !field.empty()) Fail("field out of range not empty", line);
    CheckInteger(field);
    CheckFloat(field);
  }
  (void)Cp932ToUtf8Lossy(line);
  if (GetField(line, 2) != fields[2]) Fail("GetField differs from FieldSplitter", line);
  const int commas = CountOccurrences(1, ",", line);
  if (commas < 0 || commas > static_cast<int>(line.size())) Fail("comma count", line);
  (void)PosFrom(static_cast<int>(line.size() / 2), ",", line);
  (void)QuoteField(line);
}

}  // namespace

int FuzzText(const uint8_t* data, size_t size) {
  std::string_view text(reinterpret_cast<const char*>(data), size);
  LineTable lines;
  SplitLines(text, lines);
  if (lines.size() != CountLines(text)) Fail("CountLines differs from SplitLines", text);
  FieldSplitter fields;
  for (std::string_view line : lines) CheckLine(line, fields);
  CheckInteger(text);
  CheckFloat(text);
  return 0;
}

}  // namespace pelmora::fuzz
