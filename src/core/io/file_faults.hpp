#pragma once
// A seam through which tests make file operations fail with a chosen error
// code, to check how the converter meets a full disk or a folder that turns
// unwritable. Production code never sets it.
#include <functional>
#include <string>

namespace pelmora {

enum class FileOp { kCreate, kWrite, kRename, kRemove, kOpenRead, kListFolder, kLock };

// Returns 0 to let the operation proceed, or an errno value to make it fail.
using FileFaultHook = std::function<int(FileOp op, const std::string& path)>;

// Installs hook (or removes it, given an empty function). Not thread-safe:
// set it before a conversion starts.
void SetFileFaultHook(FileFaultHook hook);

// The error code the hook chooses for op on path, or 0.
int InjectedFault(FileOp op, const std::string& path);

}  // namespace pelmora
