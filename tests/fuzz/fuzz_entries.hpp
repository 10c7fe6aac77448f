#pragma once
// The fuzz entry functions. libFuzzer calls them through its own main (one
// small file per target); the regression driver calls them with the saved
// inputs in every build, so inputs that once found a fault keep being run.
// Each returns 0 and aborts the process when it finds a broken invariant.
#include <cstddef>
#include <cstdint>

namespace pelmora::fuzz {

// Lines, fields and the two number conversions on arbitrary bytes.
int FuzzText(const uint8_t* data, size_t size);

// Carves one area subfolder out of the bytes, converts all 31 layers into a
// scratch folder and checks the output folder afterwards.
int FuzzArea(const uint8_t* data, size_t size);

}  // namespace pelmora::fuzz
