// libFuzzer target: lines, fields and numbers.
#include "fuzz_entries.hpp"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  return pelmora::fuzz::FuzzText(data, size);
}
