#pragma once
// Which bodies of the hottest loops run: most have a portable body and one
// for SSE2 (the x86-64 baseline), number formatting one for AVX2 too, which
// is chosen at run time so that one build runs everywhere and fast where it
// can. Setting PELMORA_FORCE_PORTABLE in the environment (to anything but
// "" or "0") makes the portable bodies run instead, so that they are tested
// on machines that would otherwise never take them.
namespace pelmora {

// True when PELMORA_FORCE_PORTABLE asked for the portable bodies.
extern const bool kForcePortable;
// True when the SSE2 bodies run: the build targets SSE2 and portable bodies
// are not forced.
extern const bool kUseSse2;
// True when the AVX2 bodies run: the processor has AVX2, the system keeps
// its registers and portable bodies are not forced. Always false on other
// architectures.
extern const bool kUseAvx2;

}  // namespace pelmora
