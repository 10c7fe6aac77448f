#include "text_buffer.hpp"

namespace pelmora::gen {

TextBuffer& TextBuffer::Int(int64_t value) {
  char digits[24];
  int n = 0;
  uint64_t magnitude = value < 0 ? 0 - static_cast<uint64_t>(value) : value;
  do {
    digits[n++] = static_cast<char>('0' + magnitude % 10);
    magnitude /= 10;
  } while (magnitude != 0);
  if (value < 0) out_.push_back('-');
  while (n > 0) out_.push_back(digits[--n]);
  return *this;
}

TextBuffer& TextBuffer::Metres(int64_t millimetres) {
  // Two decimals round to centimetres, half away from zero.
  bool negative = millimetres < 0;
  uint64_t magnitude = negative ? 0 - static_cast<uint64_t>(millimetres) : millimetres;
  uint64_t scale = 1000;
  if (decimals_ == 2) {
    magnitude = (magnitude + 5) / 10;
    scale = 100;
  }
  if (negative && magnitude != 0) out_.push_back('-');
  Int(static_cast<int64_t>(magnitude / scale));
  out_.push_back('.');
  uint64_t fraction = magnitude % scale;
  if (scale == 1000) out_.push_back(static_cast<char>('0' + fraction / 100));
  out_.push_back(static_cast<char>('0' + fraction / 10 % 10));
  out_.push_back(static_cast<char>('0' + fraction % 10));
  return *this;
}

}  // namespace pelmora::gen
