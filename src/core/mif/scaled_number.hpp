#pragma once
// "<integer>.<eight decimals>" of a number of units of 10^-8, the text of
// nearly every coordinate: no loop and no chain of divisions, with SSE2 or
// AVX2 where they run (see cpu_features.hpp) and a portable body beside them.
#include <cstdint>

namespace pelmora {

// The text of units / 10^8 with a leading "-" when negative, for
// 10^8 <= units < 8 * 10^14, written at out; returns the end of the text.
char* WriteScaled(bool negative, uint64_t units, char* out);
// The same by plain integer arithmetic, whatever the processor has and
// whatever kUseSse2 says; for tests.
char* WriteScaledPortable(bool negative, uint64_t units, char* out);

// "<x> <y>" as two WriteScaled, with AVX2 (scaled_number_avx2.cpp, built
// where PELMORA_AVX2_BODIES is defined); only to be called when kUseAvx2 is
// true.
char* WriteScaledPairAvx2(bool x_negative, uint64_t x_units, bool y_negative, uint64_t y_units,
                          char* out);

}  // namespace pelmora
