#include "area_carver.hpp"

#include <fstream>
#include <string>

namespace pelmora::fuzz {
namespace {

// Must match tests/fuzz/pack-area.
constexpr std::string_view kFiles[] = {
    "13101.txt",
    "gyousei/gyousei.arc",
    "gyousei/si_tyo.pgn",
    "gyousei/si_tyo.atr",
    "gyousei/tyome.pgn",
    "gyousei/tyome.atr",
    "road/roadntwk.arc",
    "road/road.atr",
    "gaiku/gaiku.arc",
    "gaiku/gaiku.pgn",
    "gaiku/gaiku.atr",
    "tatemono/tatemono.arc",
    "tatemono/tatemono.pgn",
    "tatemono/tatemono.atr",
    "mizu/mizu.arc",
    "mizu/mizu.pgn",
    "mizu/mizu.atr",
    "others/others.arc",
    "others/zyouti.pgn",
    "others/zyouti.atr",
    "others/tetudou.atr",
    "others/eki.pnt",
    "others/eki.atr",
    "kijunten/sankaku.pnt",
    "kijunten/sankaku.atr",
};

}  // namespace

void WriteCarvedArea(std::string_view input, const std::filesystem::path& map_folder) {
  const std::filesystem::path area = map_folder / std::string(kAreaName);
  std::filesystem::create_directories(area);
  for (std::string_view file : kFiles) {
    size_t end = input.find(kSectionBreak);
    std::string_view section = input.substr(0, end);
    if (!section.empty()) {
      const std::filesystem::path path = area / std::string(file);
      std::filesystem::create_directories(path.parent_path());
      std::ofstream(path, std::ios::binary).write(section.data(), section.size());
    }
    if (end == std::string_view::npos) break;
    input.remove_prefix(end + kSectionBreak.size());
  }
}

}  // namespace pelmora::fuzz
