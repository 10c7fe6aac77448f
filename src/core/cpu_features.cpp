#include "cpu_features.hpp"

#include <cstdlib>
#include <cstring>

namespace pelmora {
namespace {

bool PortableForced() {
  const char* value = std::getenv("PELMORA_FORCE_PORTABLE");
  return value != nullptr && *value != '\0' && std::strcmp(value, "0") != 0;
}

bool DetectAvx2() {
#if defined(__x86_64__) && defined(__GNUC__)
  __builtin_cpu_init();  // this may run before the compiler's own initialisation
  return __builtin_cpu_supports("avx2");
#else
  return false;
#endif
}

#if defined(__SSE2__)
constexpr bool kBuiltForSse2 = true;
#else
constexpr bool kBuiltForSse2 = false;
#endif

}  // namespace

const bool kForcePortable = PortableForced();
const bool kUseSse2 = kBuiltForSse2 && !kForcePortable;
const bool kUseAvx2 = DetectAvx2() && !kForcePortable;

}  // namespace pelmora
