#pragma once
// UTF-8 text and paths to and from the wide characters of the Windows API.
#include <windows.h>

#include <string>
#include <string_view>

namespace pelmora::platform {

std::wstring Widen(std::string_view utf8);
std::string Narrow(std::wstring_view wide);
// path for the wide API: separators as given, and for a path near or over
// MAX_PATH the full path with "\\?\" (or "\\?\UNC\") in front, which lifts
// the limit of 260 characters.
std::wstring WidePath(const std::string& path);
// The errno value (ENOENT, EACCES, ENOSPC, ...) for a Windows error code.
int ErrnoOf(DWORD error);
inline int LastErrno() {
  return ErrnoOf(::GetLastError());
}

}  // namespace pelmora::platform
