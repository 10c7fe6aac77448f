// libFuzzer target: a whole conversion of one carved area subfolder.
#include "fuzz_entries.hpp"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  return pelmora::fuzz::FuzzArea(data, size);
}
