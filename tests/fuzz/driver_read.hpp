#pragma once
// The fuzzed area read once more as GDAL's programs read it, through the GDAL
// driver DM2500: whatever the data, the driver must neither crash nor throw,
// and it must find what the conversion run found.
#include <cstdint>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

namespace pelmora::fuzz {

struct DriverOutcome {
  bool opened = false;
  std::map<std::string, uint64_t> features;  // per layer the driver offers
  // The layer's feature count asked before it was read.
  std::map<std::string, int64_t> counted;
  // GDAL's warnings, but for the values no code page 932 text (which only
  // the GDAL formats report), and its errors.
  size_t warnings = 0;
  std::vector<std::string> failures;
};

// Opens map with the coordinate system of entry coordsys_index and the
// polygons chained, and reads every layer to its end.
DriverOutcome ReadThroughDriver(const std::filesystem::path& map, int coordsys_index);

}  // namespace pelmora::fuzz
