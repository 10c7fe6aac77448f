#include "utf8_values.hpp"

#include "core/text/cp932.hpp"

namespace pelmora::gdal {
namespace {

bool IsAscii(std::string_view text) {
  for (char c : text) {
    if (static_cast<unsigned char>(c) >= 0x80) return false;
  }
  return true;
}

}  // namespace

bool ToUtf8Value(std::string_view value, std::string& utf8) {
  if (IsAscii(value)) {
    utf8.assign(value);
    return true;
  }
  utf8 = Cp932ToUtf8Lossy(value);
  // Code page 932 has no U+FFFD of its own: one in the result stands for
  // bytes that are no code page 932 text.
  return utf8.find("\xEF\xBF\xBD") == std::string::npos;
}

std::string ReplacedValueWarning(std::string_view utf8) {
  return "コードページ932でない文字列を置き換えました: " + std::string(utf8);
}

}  // namespace pelmora::gdal
