#pragma once
// The input tree on this platform: map-data folders hold one subfolder per
// area; names inside an area resolve without regard to letter case, as on the
// platform the data was made for.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace pelmora {

// folder, the system's separator ("/"; "\\" on Windows) and name, without
// doubling a separator that ends folder ("/", and on Windows "\\"); a "/"
// in name becomes the system's separator too. folder stays as given.
std::string JoinPath(std::string_view folder, std::string_view name);

// The area subfolders of a map-data folder: directories only (a link to one
// counts), names beginning with "." are hidden and skipped (on Windows also
// folders with the hidden or the system attribute), in ascending
// order compared without regard to ASCII letter case, ties in byte order.
// Throws IoError when the folder cannot be listed.
std::vector<std::string> ListSubfolders(const std::string& map_folder);
// The same, with no areas for a folder that cannot be listed: for the
// measures and checks made before a run, which leave that error to the
// layers.
std::vector<std::string> ListSubfoldersOrNone(const std::string& map_folder);

// Finds relative (components separated by "/") inside folder: each component
// matches its exact-case name first, otherwise the first name in byte order
// that equals it without regard to ASCII case. The last component must not be
// a directory. Returns the full path, or nothing.
std::optional<std::string> ResolveFile(const std::string& folder, std::string_view relative);

// The path of relative inside folder as ResolveFile finds it, or, when it
// finds none, the path as the table writes it (for the message that opening
// it then gives).
std::string ResolveFileOrJoin(const std::string& folder, std::string_view relative);

// Whether path names a folder (or a link to one).
bool IsFolder(const std::string& path);

// The size in bytes of the file at path; 0 when it cannot be asked.
uint64_t FileSizeOrZero(const std::string& path);

// Compares without regard to ASCII letter case; bytes from 0x80 on compare as
// they are.
bool EqualsIgnoreCase(std::string_view a, std::string_view b);

}  // namespace pelmora
