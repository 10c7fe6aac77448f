// Railways, rivers and the coast: lines that cross the whole sheet.
#include <algorithm>

#include "area_files.hpp"
#include "shapes.hpp"

namespace pelmora::gen {
namespace {

struct Corridor {
  Polyline centre;
  std::vector<size_t> cuts;  // vertex indexes where sections meet, ends included
};

// A line along block row `row`, west to east through the middle of the row,
// with `bends` vertices per block that wander up to `wiggle` north or south.
// It is cut into sections of `section` blocks.
Corridor AlongRow(const CityPlan& plan, int row, Rng& rng, int bends, int64_t wiggle, int section) {
  Corridor c;
  auto middle = [&](int i) {
    Pt a = plan.Node(i, row), b = plan.Node(i, row + 1);
    return Pt{(a.n + b.n) / 2, (a.e + b.e) / 2};
  };
  for (int i = 0; i <= plan.nx; ++i) {
    if (i % section == 0 || i == plan.nx) c.cuts.push_back(c.centre.size());
    Pt p = middle(i);
    c.centre.push_back(p);
    if (i == plan.nx) break;
    Pt q = middle(i + 1);
    for (int k = 1; k <= bends; ++k) {
      c.centre.push_back({p.n + (q.n - p.n) * k / (bends + 1) + rng.Between(-wiggle, wiggle),
                          p.e + (q.e - p.e) * k / (bends + 1)});
    }
  }
  return c;
}

void WriteRailway(const CityPlan& plan, int row, Rng& rng, const NameMaker& names, bool sample,
                  AreaFiles& files) {
  int section = sample ? 2 : static_cast<int>(rng.Between(3, 5));
  Corridor line = AlongRow(plan, row, rng, 1, 300, section);
  std::string route = names.Railway(rng);
  for (size_t k = 0; k + 1 < line.cuts.size(); ++k) {
    Polyline track(line.centre.begin() + line.cuts[k], line.centre.begin() + line.cuts[k + 1] + 1);
    int64_t id = files.others_arc.Add("L2300", "1", track);
    files.tetudou_atr.Add("L2300", id, {route});
  }
  // The railway site: a strip of 12 m, one polygon per section.
  AddStrip(files.others_arc, files.zyouti_pgn, line.centre, line.cuts, 6 * kMetre, "L6241",
           "A6241");
  for (size_t k = 1; k + 1 < line.cuts.size(); ++k) {
    if (!sample && !rng.Percent(60)) continue;
    int64_t id = files.eki_pnt.Add("P2420", line.centre[line.cuts[k]]);
    files.eki_atr.Add("P2420", id, {names.Station(rng)});
  }
}

void WriteRiver(const CityPlan& plan, int row, Rng& rng, const NameMaker& names, bool sample,
                AreaFiles& files) {
  int section = sample ? 3 : static_cast<int>(rng.Between(4, 8));
  Corridor river = AlongRow(plan, row, rng, 3, 5 * kMetre, section);
  int64_t half_width = rng.Between(6, 9) * kMetre;
  std::string name = names.River(rng);
  for (int64_t id : AddStrip(files.mizu_arc, files.mizu_pgn, river.centre, river.cuts, half_width,
                             "L5101", "A5101")) {
    files.mizu_atr.Add("A5101", id, {name});
  }
}

// The northern sheet edge is sea shore, in arcs of up to eight blocks.
void WriteCoast(const CityPlan& plan, AreaFiles& files) {
  Polyline shore;
  for (int i = 0; i < plan.nx; ++i) {
    const Polyline& side = plan.H(i, plan.ny);
    shore.insert(shore.end(), shore.empty() ? side.begin() : side.begin() + 1, side.end());
    if ((i + 1) % 8 == 0 || i + 1 == plan.nx) {
      files.mizu_arc.Add("L5106", "1", shore);
      shore = {plan.Node(i + 1, plan.ny)};
    }
  }
}

}  // namespace

void WriteCorridors(const CityPlan& plan, Rng rng, const NameMaker& names, AreaFiles& files) {
  for (int row : plan.rail_rows) WriteRailway(plan, row, rng, names, plan.sample, files);
  for (int row : plan.river_rows) WriteRiver(plan, row, rng, names, plan.sample, files);
  WriteCoast(plan, files);
}

}  // namespace pelmora::gen
