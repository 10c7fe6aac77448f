#pragma once
// Checks an output folder after a conversion, finished or not: what a user
// finds there must be complete MIF/MID pairs and nothing else.
#include <filesystem>
#include <string>

namespace pelmora::checks {

// The number of objects (Point, PLine, Region) in a MIF text.
size_t CountMifObjects(const std::string& mif_text);
// The number of CR LF terminated rows in a MID text.
size_t CountMidRows(const std::string& mid_text);

// Empty when folder holds exactly expected_pairs pairs (or any number when
// expected_pairs is negative), each MIF with its MID holding as many rows as
// the MIF has objects, and no other file (no temporary one in particular).
// Otherwise a description of the first thing found wrong.
std::string CheckOutputFolder(const std::filesystem::path& folder, int expected_pairs);

}  // namespace pelmora::checks
