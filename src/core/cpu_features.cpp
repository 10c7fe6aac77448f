#include "cpu_features.hpp"

namespace pelmora {
namespace {

bool DetectAvx2() {
#if defined(__x86_64__) && defined(__GNUC__)
  __builtin_cpu_init();  // this may run before the compiler's own initialisation
  return __builtin_cpu_supports("avx2");
#else
  return false;
#endif
}

}  // namespace

const bool kProcessorHasAvx2 = DetectAvx2();

}  // namespace pelmora
