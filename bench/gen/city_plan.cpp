#include "city_plan.hpp"

#include <algorithm>
#include <cstdio>

namespace pelmora::gen {
namespace {

std::vector<int64_t> Spacing(Rng& rng, int count, int64_t lo_m, int64_t hi_m) {
  std::vector<int64_t> lines{0};
  for (int k = 0; k < count; ++k) {
    lines.push_back(lines.back() + rng.Between(lo_m * kMetre, hi_m * kMetre) / 10 * 10);
  }
  return lines;
}

// A block side from a to b with bends; sides on the sheet edge stay straight.
Polyline Side(Rng& rng, Pt a, Pt b, int bends, bool on_edge, bool horizontal) {
  Polyline line{a};
  for (int k = 1; k <= bends; ++k) {
    Pt p{a.n + (b.n - a.n) * k / (bends + 1), a.e + (b.e - a.e) * k / (bends + 1)};
    if (!on_edge) {
      int64_t offset = rng.Between(-1200, 1200);
      (horizontal ? p.n : p.e) += offset;
    }
    line.push_back(p);
  }
  line.push_back(b);
  return line;
}

// Stretches street lines from 0 to lines.back() onto 0 to size, keeping
// whole centimetres.
void StretchTo(std::vector<int64_t>& lines, int64_t size) {
  const int64_t span = lines.back();
  for (int64_t& line : lines) line = line * size / span / 10 * 10;
  lines.back() = size;
}

void PlaceNodes(CityPlan& plan, Rng& rng, const PlanParams& params) {
  const bool sheet = params.sheet_n > 0 && params.sheet_e > 0;
  Rng shared = Rng(params.street_seed).Fork(17);
  Rng& lines = sheet ? shared : rng;
  std::vector<int64_t> cols = Spacing(lines, plan.nx, 55, 110);
  std::vector<int64_t> rows = Spacing(lines, plan.ny, 45, 85);
  if (sheet) {
    StretchTo(cols, params.sheet_e);
    StretchTo(rows, params.sheet_n);
  }
  plan.extent_e = cols.back();
  plan.extent_n = rows.back();
  for (int j = 0; j <= plan.ny; ++j) {
    for (int i = 0; i <= plan.nx; ++i) {
      Pt p{rows[j], cols[i]};
      bool edge_column = i == 0 || i == plan.nx, edge_row = j == 0 || j == plan.ny;
      if (!edge_row && !(sheet && edge_column)) p.n += rng.Between(-3000, 3000);
      if (!edge_column && !(sheet && edge_row)) p.e += rng.Between(-3000, 3000);
      plan.nodes.push_back(p);
    }
  }
}

// A sheet filled to its frame has no vertices between the crossings on its
// edges, so that its neighbour's sides along the same edge have the same.
void DrawSides(CityPlan& plan, Rng& rng, const PlanParams& params) {
  const bool sheet = params.sheet_n > 0 && params.sheet_e > 0;
  for (int j = 0; j <= plan.ny; ++j) {
    for (int i = 0; i < plan.nx; ++i) {
      int bends = static_cast<int>(rng.Between(params.min_bends, params.max_bends));
      bool edge = j == 0 || j == plan.ny;
      if (sheet && edge) bends = 0;
      plan.h_edges.push_back(Side(rng, plan.Node(i, j), plan.Node(i + 1, j), bends, edge, true));
    }
  }
  for (int j = 0; j < plan.ny; ++j) {
    for (int i = 0; i <= plan.nx; ++i) {
      int bends = static_cast<int>(rng.Between(params.min_bends, params.max_bends));
      bool edge = i == 0 || i == plan.nx;
      if (sheet && edge) bends = 0;
      plan.v_edges.push_back(Side(rng, plan.Node(i, j), plan.Node(i, j + 1), bends, edge, false));
    }
  }
}

void ChooseCorridors(CityPlan& plan) {
  int rails = std::max(1, plan.ny / 40);
  // Small grids keep at least one row of blocks besides the corridors.
  int rivers = plan.ny >= 4 ? std::max(1, plan.ny / 60) : 0;
  for (int k = 0; k < rails; ++k) plan.rail_rows.push_back((2 * k + 1) * plan.ny / (2 * rails));
  for (int k = 0; k < rivers; ++k) {
    int row = (4 * k + 1) * plan.ny / (4 * rivers);
    if (std::find(plan.rail_rows.begin(), plan.rail_rows.end(), row) != plan.rail_rows.end()) {
      row = (row + 1) % plan.ny;
    }
    plan.river_rows.push_back(row);
  }
}

Feature RandomFeature(Rng& rng) {
  int roll = static_cast<int>(rng.Between(0, 99));
  const std::pair<int, Feature> table[] = {
      {9, Feature::kBuilding},   {12, Feature::kBuildingPair},  {16, Feature::kPark},
      {18, Feature::kSchool},    {19, Feature::kShrine},        {20, Feature::kCemetery},
      {21, Feature::kOtherSite}, {22, Feature::kParkAndSchool}, {24, Feature::kPond}};
  for (auto [limit, feature] : table) {
    if (roll < limit) return feature;
  }
  return Feature::kNone;
}

void AssignFeatures(CityPlan& plan, Rng& rng, bool sample) {
  // The sample shows every feature once, in this order, in its free blocks.
  const Feature cycle[] = {Feature::kBuilding,  Feature::kPark,   Feature::kBuildingPair,
                           Feature::kSchool,    Feature::kShrine, Feature::kCemetery,
                           Feature::kOtherSite, Feature::kPond,   Feature::kParkAndSchool};
  size_t next = 0;
  for (int j = 0; j < plan.ny; ++j) {
    for (int i = 0; i < plan.nx; ++i) {
      Feature f = Feature::kNone;
      if (!plan.IsCorridorRow(j)) {
        if (!sample)
          f = RandomFeature(rng);
        else if (next < std::size(cycle))
          f = cycle[next++];
      }
      plan.features.push_back(f);
    }
  }
}

void NameDistricts(CityPlan& plan, Rng& rng, const NameMaker& names) {
  // A town (大字) spans up to nine districts of one district column, numbered
  // 一丁目 upwards from the south.
  int towns_per_column = (plan.districts_y + 8) / 9;
  std::vector<std::string> towns;
  for (int t = 0; t < plan.districts_x * towns_per_column; ++t) towns.push_back(names.Place(rng));
  for (int J = 0; J < plan.districts_y; ++J) {
    for (int I = 0; I < plan.districts_x; ++I) {
      int town = I * towns_per_column + J / 9;
      int chome = J % 9 + 1;
      char code[16];
      std::snprintf(code, sizeof code, "%03d%03d", town + 1, chome);
      District d{I < plan.split_column ? 0 : 1, code, towns[town] + names.Chome(chome)};
      plan.districts.push_back(d);
    }
  }
}

}  // namespace

Box CityPlan::InnerBox(int i, int j, int64_t margin) const {
  Box box;
  box.e0 = std::max(Node(i, j).e, Node(i, j + 1).e) + margin;
  box.e1 = std::min(Node(i + 1, j).e, Node(i + 1, j + 1).e) - margin;
  box.n0 = std::max(Node(i, j).n, Node(i + 1, j).n) + margin;
  box.n1 = std::min(Node(i, j + 1).n, Node(i + 1, j + 1).n) - margin;
  return box;
}

bool CityPlan::IsCorridorRow(int j) const {
  auto has = [j](const std::vector<int>& rows) {
    return std::find(rows.begin(), rows.end(), j) != rows.end();
  };
  return has(rail_rows) || has(river_rows);
}

Municipality MakeMunicipality(const NameMaker& names, uint64_t seed, const std::string& code) {
  Rng rng = Rng(seed).Fork(std::stoull(code) * 7919);
  return {code, names.Municipality(rng)};
}

CityPlan BuildCityPlan(const PlanParams& params, Rng rng, const NameMaker& names, uint64_t seed,
                       const std::string& area_code, const std::string& neighbour_code) {
  CityPlan plan;
  plan.sample = params.sample;
  plan.nx = params.nx;
  plan.ny = params.ny;
  plan.district_w = params.sample ? 3 : static_cast<int>(rng.Between(4, 6));
  plan.district_h = params.sample ? 2 : static_cast<int>(rng.Between(3, 5));
  plan.districts_x = (plan.nx + plan.district_w - 1) / plan.district_w;
  plan.districts_y = (plan.ny + plan.district_h - 1) / plan.district_h;
  plan.split_column =
      plan.districts_x >= 2 ? std::max(1, plan.districts_x * 2 / 3) : plan.districts_x;
  plan.municipalities.push_back(MakeMunicipality(names, seed, area_code));
  if (plan.split_column < plan.districts_x) {
    plan.municipalities.push_back(MakeMunicipality(names, seed, neighbour_code));
  }
  PlaceNodes(plan, rng, params);
  DrawSides(plan, rng, params);
  ChooseCorridors(plan);
  AssignFeatures(plan, rng, params.sample);
  NameDistricts(plan, rng, names);
  return plan;
}

}  // namespace pelmora::gen
