// pelmora-gendata: writes deterministic Digital Map 2500 data of a chosen
// size, for benchmarks and for the bundled sample.
#include <chrono>
#include <cstdio>
#include <iostream>

#include "generator.hpp"
#include "options.hpp"

int main(int argc, char** argv) {
  using namespace pelmora::gen;
  ParseResult parsed = ParseOptions(std::vector<std::string>(argv + 1, argv + argc));
  if (!parsed.options) {
    (parsed.error ? std::cerr : std::cout) << parsed.message;
    return parsed.error ? 2 : 0;
  }
  auto start = std::chrono::steady_clock::now();
  GenReport report;
  try {
    report = GenerateMapData(*parsed.options);
  } catch (const std::exception& e) {
    std::cerr << "pelmora-gendata: " << e.what() << "\n";
    return 1;
  }
  double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  for (const AreaReport& area : report.areas) {
    std::printf("%s: %d files, %.3f MB, %d x %d blocks\n", area.code.c_str(), area.files,
                area.bytes / 1e6, area.blocks_e, area.blocks_n);
  }
  std::printf("total: %zu areas, %.2f MB in %.2f s (%.1f MB/s)\n", report.areas.size(),
              report.bytes / 1e6, seconds, seconds > 0 ? report.bytes / 1e6 / seconds : 0.0);
  return 0;
}
