#include "cp932.hpp"

#include <iconv.h>

#include <cerrno>
#include <stdexcept>

namespace pelmora {
namespace {

// One iconv conversion descriptor for the duration of a call.
class Iconv {
 public:
  Iconv(const char* to, const char* from) : cd_(iconv_open(to, from)) {
    if (cd_ == reinterpret_cast<iconv_t>(-1)) {
      throw std::runtime_error(std::string("iconv cannot convert ") + from + " to " + to);
    }
  }
  ~Iconv() { iconv_close(cd_); }
  Iconv(const Iconv&) = delete;
  Iconv& operator=(const Iconv&) = delete;

  // Converts as much as possible; returns false at an invalid or incomplete
  // sequence, leaving in and in_left at its first byte.
  bool Convert(const char*& in, size_t& in_left, std::string& out) {
    char buffer[1024];
    while (in_left > 0) {
      char* out_ptr = buffer;
      size_t out_left = sizeof buffer;
      size_t r = iconv(cd_, const_cast<char**>(&in), &in_left, &out_ptr, &out_left);
      out.append(buffer, out_ptr - buffer);
      if (r == static_cast<size_t>(-1) && errno != E2BIG) return false;
    }
    return true;
  }

 private:
  iconv_t cd_;
};

}  // namespace

std::string Utf8ToCp932(std::string_view utf8) {
  Iconv iconv("CP932", "UTF-8");
  std::string out;
  const char* in = utf8.data();
  size_t left = utf8.size();
  if (!iconv.Convert(in, left, out)) {
    throw std::runtime_error("text has no code page 932 form: " + std::string(utf8));
  }
  return out;
}

std::string Cp932ToUtf8Lossy(std::string_view cp932) {
  Iconv iconv("UTF-8", "CP932");
  std::string out;
  const char* in = cp932.data();
  size_t left = cp932.size();
  while (!iconv.Convert(in, left, out)) {
    out += "\xEF\xBF\xBD";  // U+FFFD REPLACEMENT CHARACTER
    ++in;
    --left;
  }
  return out;
}

}  // namespace pelmora
