#pragma once
// Small map-data trees written by tests: every input file of the 31 layers,
// with a few records of every type code, varied by a seed.
#include <string>

namespace pelmora::testing {

// A fresh empty folder under the system's temporary folder.
std::string MakeTempFolder(const std::string& tag);

// Writes text to path (bytes as given), creating missing parent folders.
void WriteTextFile(const std::string& path, const std::string& text);

// Writes the area folder map_folder/area with every theme file, the area's
// map-sheet file and records whose numbers depend on seed.
void WriteArea(const std::string& map_folder, const std::string& area, int seed);

// The bytes of a file ("" when it cannot be read), for failure messages.
std::string FolderFileText(const std::string& path);

// The files of folder (name and bytes, in name order), to compare two
// output folders byte for byte.
std::string FolderDigest(const std::string& folder);

}  // namespace pelmora::testing
