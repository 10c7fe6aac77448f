#pragma once
// What the processor offers beyond the x86-64 baseline the program is built
// for. The hottest loops have a second body for AVX2, chosen at run time, so
// that one build runs everywhere and fast where it can.
namespace pelmora {

// True when the processor has AVX2 and the system keeps its registers.
// Always false on other architectures.
extern const bool kProcessorHasAvx2;

}  // namespace pelmora
