#pragma once
// The layout of one area: a grid of city blocks on slightly jittered streets,
// grouped into districts (町丁目) and up to two municipalities, with the
// block rows crossed by railways and rivers and the feature each block holds.
// Every theme is written from this one plan, so boundaries, roads and blocks
// share their vertices as they do in the real data.
#include <string>
#include <vector>

#include "geometry.hpp"
#include "names.hpp"
#include "rng.hpp"

namespace pelmora::gen {

enum class Feature {
  kNone,
  kBuilding,
  kBuildingPair,
  kPark,
  kSchool,
  kShrine,
  kCemetery,
  kOtherSite,
  kParkAndSchool,
  kPond,
};

struct Municipality {
  std::string code;
  std::string name;
};

struct District {
  int municipality = 0;
  std::string town_code;  // 大字 number and 丁目 number, three digits each
  std::string name;
};

struct PlanParams {
  int nx = 5, ny = 4;                // blocks east-west and north-south
  int min_bends = 0, max_bends = 1;  // extra vertices per block side
  bool sample = false;               // every kind of feature, placed in a fixed order
  // When set, the streets are spread to fill a sheet of this size (in
  // millimetres), so that neighbouring sheets meet edge to edge, and their
  // lines come from street_seed, the same in every area, with the crossings
  // on the sheet's edges kept on their lines: the block sides, railways and
  // rivers of neighbouring sheets then meet across their shared edge.
  int64_t sheet_n = 0, sheet_e = 0;
  uint64_t street_seed = 0;
};

struct CityPlan {
  bool sample = false;
  int nx = 0, ny = 0;
  int district_w = 1, district_h = 1;  // blocks per district
  int districts_x = 0, districts_y = 0;
  int split_column = 0;  // first district column of the second municipality
  int64_t extent_n = 0, extent_e = 0;
  std::vector<Pt> nodes;          // street crossings, (nx + 1) * (ny + 1)
  std::vector<Polyline> h_edges;  // west to east, nx * (ny + 1)
  std::vector<Polyline> v_edges;  // south to north, (nx + 1) * ny
  std::vector<Feature> features;  // one per block
  std::vector<int> rail_rows, river_rows;
  std::vector<Municipality> municipalities;
  std::vector<District> districts;  // districts_x * districts_y, row by row

  const Pt& Node(int i, int j) const { return nodes[j * (nx + 1) + i]; }
  const Polyline& H(int i, int j) const { return h_edges[j * nx + i]; }
  const Polyline& V(int i, int j) const { return v_edges[j * (nx + 1) + i]; }
  int DistrictOf(int i, int j) const { return (j / district_h) * districts_x + i / district_w; }
  // The largest axis-parallel box inside block (i, j), shrunk by margin.
  Box InnerBox(int i, int j, int64_t margin) const;
  // Blocks crossed by a railway or river hold no feature.
  bool IsCorridorRow(int j) const;
};

// Municipality names depend only on the seed and the code, so that an area
// and its neighbour agree on the neighbour's name.
Municipality MakeMunicipality(const NameMaker& names, uint64_t seed, const std::string& code);

CityPlan BuildCityPlan(const PlanParams& params, Rng rng, const NameMaker& names, uint64_t seed,
                       const std::string& area_code, const std::string& neighbour_code);

}  // namespace pelmora::gen
