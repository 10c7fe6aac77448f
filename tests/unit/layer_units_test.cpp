// Which layers convert together because they read a common file.
#include "core/conversion/layer_units.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

namespace pelmora {
namespace {

// The units as text: base names joined by "+", units by " | ", each unit's
// shared files after ":".
std::string Describe(std::span<const LayerDef* const> layers, const std::vector<LayerUnit>& units) {
  std::string text;
  for (const LayerUnit& unit : units) {
    if (!text.empty()) text += " | ";
    for (size_t i : unit.layers) {
      if (i != unit.layers.front()) text += "+";
      text += layers[i]->base_name;
    }
    std::vector<std::string> files = unit.shared_files;
    std::sort(files.begin(), files.end());
    for (const std::string& file : files) text += (file == files.front() ? ":" : ",") + file;
  }
  return text;
}

std::vector<const LayerDef*> LayersOfGroups(std::initializer_list<int> groups) {
  std::vector<const LayerDef*> layers;
  for (const LayerDef& layer : LayerTable()) {
    if (std::find(groups.begin(), groups.end(), layer.group) != groups.end()) {
      layers.push_back(&layer);
    }
  }
  return layers;
}

// With one worker every common file joins its readers; with several, only
// files of three or more readers do (min_readers 3): the arc and polygon
// layer of one arc file then stay apart, while files that two layers of a
// unit read are shared all the same.
TEST(LayerUnitsTest, LayersReadingACommonFileFormOneUnit) {
  struct Case {
    std::initializer_list<int> groups;
    size_t min_readers;
    const char* units;
  };
  const Case kCases[] = {
      {{0, 2}, 2, "Doro_Doro_Arc | Gaiku_Gaiku_Arc+Gaiku_Gaiku_Pgn:gaiku/gaiku.arc"},
      {{1},
       2,
       "Gyousei_Todofuken_Arc+Gyousei_GunshiKukai_Arc+Gyousei_ChosonShiteitoshi_Arc+"
       "Gyousei_Shikuchoson_Pgn+Gyousei_OhazaChochomoku_Arc+Gyousei_OhazaChochomoku_Pgn"
       ":gyousei/gyousei.arc"},
      // Both river polygon layers read the polygon, arc and attribute files.
      {{4},
       2,
       "Mizu_Naisuimen_Arc+Mizu_Kaigansen_Arc+Mizu_Kasen_Pgn+Mizu_Mizuumi_Pgn"
       ":mizu/mizu.arc,mizu/mizu.atr,mizu/mizu.pgn"},
      // The railway and site groups read the same arc and polygon files; the
      // station layer between them reads files of its own.
      {{5, 6},
       2,
       "Tesudou_Senro_Arc+Tesudou_Senrojiki_Arc+Tesudou_Senrojiki_Pgn+Zyouti_Toshikouen_Arc+"
       "Zyouti_Toshikouen_Pgn+Zyouti_Gakkou_Arc+Zyouti_Gakkou_Pgn+Zyouti_JinjaKeidai_Arc+"
       "Zyouti_JinjaKeidai_Pgn+Zyouti_Bochi_Arc+Zyouti_Bochi_Pgn+Zyouti_Sonota_Arc+"
       "Zyouti_Sonota_Pgn:others/others.arc,others/zyouti.atr,others/zyouti.pgn"
       " | Tesudou_Eki_Pnt"},
      // The frame layer reads a file named after the area: it shares nothing.
      {{7, 8}, 2, "Kijunten_Sankakuten_Pnt | Zukaku_Pgn"},
      {{2, 3},
       3,
       "Gaiku_Gaiku_Arc | Gaiku_Gaiku_Pgn | Tatemono_Koukyou_Arc | Tatemono_Koukyou_Pgn"},
      {{4},
       3,
       "Mizu_Naisuimen_Arc+Mizu_Kaigansen_Arc+Mizu_Kasen_Pgn+Mizu_Mizuumi_Pgn"
       ":mizu/mizu.arc,mizu/mizu.atr,mizu/mizu.pgn"},
      {{4},
       SIZE_MAX,
       "Mizu_Naisuimen_Arc | Mizu_Kaigansen_Arc | Mizu_Kasen_Pgn | Mizu_Mizuumi_Pgn"},
  };
  for (const Case& c : kCases) {
    const std::vector<const LayerDef*> layers = LayersOfGroups(c.groups);
    EXPECT_EQ(Describe(layers, GroupLayersBySharedFiles(layers, c.min_readers)), c.units);
  }
}

// The policy: one worker joins the readers of every common file; several
// workers keep apart the two readers of a file (one reading saved does not
// pay for a core) but join files of three or more readers; without shared
// inputs every layer is alone, whatever the workers.
TEST(LayerUnitsTest, PlanJoinsReadersWhereTheSavedReadingsPay) {
  struct Case {
    int workers;
    bool share_inputs;
    const char* units;
  };
  const char* const kAlone =
      "Gaiku_Gaiku_Arc | Gaiku_Gaiku_Pgn | Mizu_Naisuimen_Arc | Mizu_Kaigansen_Arc | "
      "Mizu_Kasen_Pgn | Mizu_Mizuumi_Pgn";
  const char* const kMizuJoined =
      "Mizu_Naisuimen_Arc+Mizu_Kaigansen_Arc+Mizu_Kasen_Pgn+Mizu_Mizuumi_Pgn"
      ":mizu/mizu.arc,mizu/mizu.atr,mizu/mizu.pgn";
  const std::string kPairApart = std::string("Gaiku_Gaiku_Arc | Gaiku_Gaiku_Pgn | ") + kMizuJoined;
  const std::string kAllJoined =
      std::string("Gaiku_Gaiku_Arc+Gaiku_Gaiku_Pgn:gaiku/gaiku.arc | ") + kMizuJoined;
  const Case kCases[] = {
      {1, false, kAlone},
      {4, false, kAlone},
      {1, true, kAllJoined.c_str()},
      {0, true, kAllJoined.c_str()},  // no number of jobs: one worker
      {2, true, kPairApart.c_str()},
      {8, true, kPairApart.c_str()},
  };
  const std::vector<const LayerDef*> layers = LayersOfGroups({2, 4});
  for (const Case& c : kCases) {
    EXPECT_EQ(Describe(layers, PlanUnits(layers, c.workers, c.share_inputs)), c.units)
        << c.workers << " workers" << (c.share_inputs ? ", shared inputs" : "");
  }
}

TEST(LayerUnitsTest, EveryLayerIsInExactlyOneUnitInTableOrder) {
  std::vector<const LayerDef*> layers;
  for (const LayerDef& layer : LayerTable()) layers.push_back(&layer);
  const std::vector<LayerUnit> units = GroupLayersBySharedFiles(layers);
  EXPECT_EQ(units.size(), 9u);
  std::vector<int> seen(layers.size(), 0);
  size_t previous_first = 0;
  for (const LayerUnit& unit : units) {
    EXPECT_TRUE(std::is_sorted(unit.layers.begin(), unit.layers.end()));
    EXPECT_GE(unit.layers.front(), previous_first);
    previous_first = unit.layers.front();
    for (size_t i : unit.layers) ++seen[i];
  }
  EXPECT_EQ(std::count(seen.begin(), seen.end(), 1), static_cast<long>(layers.size()));
}

}  // namespace
}  // namespace pelmora
