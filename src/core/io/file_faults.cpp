#include "file_faults.hpp"

namespace pelmora {
namespace {
FileFaultHook& Hook() {
  static FileFaultHook hook;
  return hook;
}
}  // namespace

void SetFileFaultHook(FileFaultHook hook) {
  Hook() = std::move(hook);
}

int InjectedFault(FileOp op, const std::string& path) {
  const auto& hook = Hook();
  return hook ? hook(op, path) : 0;
}

}  // namespace pelmora
