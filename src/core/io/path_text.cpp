#include "path_text.hpp"

#include "../platform/files.hpp"

namespace pelmora {
namespace {

using platform::IsSeparator;

// The end of path with its trailing separators left out, never inside the
// root.
size_t EndWithoutSeparators(const std::string& path, size_t root, size_t end) {
  while (end > root && IsSeparator(path[end - 1])) --end;
  return end;
}

}  // namespace

std::string ParentPath(const std::string& path) {
  const size_t root = platform::RootLength(path);
  size_t end = EndWithoutSeparators(path, root, path.size());
  if (end == root) return {};
  while (end > root && !IsSeparator(path[end - 1])) --end;
  return path.substr(0, EndWithoutSeparators(path, root, end));
}

std::string LastComponent(const std::string& path) {
  const size_t root = platform::RootLength(path);
  const size_t end = EndWithoutSeparators(path, root, path.size());
  size_t begin = end;
  while (begin > root && !IsSeparator(path[begin - 1])) --begin;
  return path.substr(begin, end - begin);
}

}  // namespace pelmora
