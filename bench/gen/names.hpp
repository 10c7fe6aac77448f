#pragma once
// Fictional Japanese names for places, roads, rivers, stations, sites and
// buildings, made from lists of name parts so that they read like real ones
// without copying any real data. Every name is returned in code page 932 and
// holds no blank and no comma.
#include <cstdint>
#include <string>
#include <vector>

#include "rng.hpp"

namespace pelmora::gen {

struct BuildingUse {
  std::string code;  // four-digit facility code
  std::string name;  // the facility's name
};

class NameMaker {
 public:
  NameMaker();

  std::string Place(Rng& rng) const;  // 桜川, 北松ヶ丘
  std::string Root(Rng& rng) const;   // 桜, 松
  std::string Municipality(Rng& rng) const;
  std::string Prefecture(Rng& rng) const;
  std::string Avenue(Rng& rng) const;       // 桜川通り
  std::string Street(Rng& rng) const;       // 松坂
  std::string RouteNumber(Rng& rng) const;  // 都道３１７号
  std::string River(Rng& rng) const;
  std::string Pond(Rng& rng) const;
  std::string Railway(Rng& rng) const;
  std::string Station(Rng& rng) const;
  std::string Park(Rng& rng) const;
  std::string School(Rng& rng) const;
  std::string Shrine(Rng& rng) const;
  std::string Cemetery(Rng& rng) const;
  std::string OtherSite(Rng& rng) const;
  std::string TriangulationKind(Rng& rng) const;
  BuildingUse Building(Rng& rng) const;

  // 三丁目 for 3: the district suffix of a town name.
  std::string Chome(int number) const;
  // Full-width digits, as route numbers are printed on maps.
  static std::string FullWidthDigits(int64_t number);

 private:
  std::string Suffixed(Rng& rng, const std::vector<std::string>& suffixes) const;

  std::vector<std::string> prefixes_, roots_, place_suffixes_, municipality_suffixes_;
  std::vector<std::string> prefectures_, avenue_suffixes_, street_suffixes_, route_kinds_;
  std::vector<std::string> river_suffixes_, pond_suffixes_, railway_companies_;
  std::vector<std::string> park_suffixes_, school_suffixes_, shrine_suffixes_;
  std::vector<std::string> cemetery_suffixes_, other_site_suffixes_, triangulation_kinds_;
  std::vector<BuildingUse> buildings_;
  std::vector<std::string> numerals_;  // 一 … 十
  std::string chome_, station_, line_, town_prefix_;
};

}  // namespace pelmora::gen
