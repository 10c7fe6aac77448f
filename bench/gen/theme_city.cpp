// Streets, blocks and administrative boundaries: the themes drawn on the
// street grid itself.
#include <algorithm>
#include <cstdint>

#include "area_files.hpp"
#include "shapes.hpp"

namespace pelmora::gen {
namespace {

// Appends line to chain, dropping the joint vertex that both share.
void Extend(Polyline& chain, const Polyline& line) {
  auto from = chain.empty() ? line.begin() : line.begin() + 1;
  chain.insert(chain.end(), from, line.end());
}

// Centre lines carry fewer vertices than block sides: every second bend.
Polyline Thinned(const Polyline& side) {
  Polyline line;
  for (size_t k = 0; k < side.size(); ++k) {
    if (k == 0 || k + 1 == side.size() || k % 2 == 1) line.push_back(side[k]);
  }
  return line;
}

std::vector<std::string> StreetNames(Rng& rng, const NameMaker& names, bool avenue) {
  std::vector<std::string> values{avenue ? names.Avenue(rng) : names.Street(rng)};
  int alternatives = avenue ? static_cast<int>(rng.Between(1, 4)) : (rng.Percent(20) ? 1 : 0);
  for (int k = 0; k < alternatives; ++k) {
    values.push_back(k == 0 ? names.RouteNumber(rng) : names.Avenue(rng));
  }
  return values;
}

}  // namespace

void WriteStreets(const CityPlan& plan, Rng rng, const NameMaker& names, AreaFiles& files) {
  // Every inner grid line is one named street; one in four is an avenue with
  // route numbers and other names besides.
  for (int j = 1; j < plan.ny; ++j) {
    std::vector<std::string> street = StreetNames(rng, names, j % 4 == 2);
    for (int i = 0; i < plan.nx; ++i) {
      int64_t id = files.road_arc.Add("L2110", "1", Thinned(plan.H(i, j)));
      files.road_atr.Add("L2110", id, street);
    }
  }
  for (int i = 1; i < plan.nx; ++i) {
    std::vector<std::string> street = StreetNames(rng, names, i % 4 == 2);
    for (int j = 0; j < plan.ny; ++j) {
      int64_t id = files.road_arc.Add("L2110", "1", Thinned(plan.V(i, j)));
      files.road_atr.Add("L2110", id, street);
    }
  }
}

namespace {

enum class BlockShape { kPlain, kCourtyard, kOutOfOrder, kUnclosed, kMissingArc };

// Courtyards keep 8 m from the block sides, clear of their bends.
constexpr int64_t kCourtyardMargin = 8 * kMetre;
// No arc file holds this many arcs: a reference to it finds nothing.
constexpr int64_t kMissingArc = 900000000;

// What a block's outline looks like. The sample shows a courtyard in its
// last free block and references out of order in its first block; larger
// sets draw both at random, and with faults break the first two plain blocks.
class BlockShapes {
 public:
  BlockShapes(const CityPlan& plan, Rng rng, bool faults)
      : plan_(plan), rng_(rng), faults_(faults) {
    for (size_t k = 0; k < plan.features.size(); ++k) {
      const int j = static_cast<int>(k) / plan.nx;
      if (plan.features[k] == Feature::kNone && !plan.IsCorridorRow(j)) last_free_ = k;
    }
  }

  BlockShape Next(int i, int j) {
    const size_t k = static_cast<size_t>(j * plan_.nx + i);
    if (plan_.sample) {
      if (k == last_free_) return BlockShape::kCourtyard;
      return first_++ == 0 ? BlockShape::kOutOfOrder : BlockShape::kPlain;
    }
    const bool free = plan_.features[k] == Feature::kNone;
    if (free && rng_.Percent(15)) return BlockShape::kCourtyard;
    if (rng_.Percent(10)) return BlockShape::kOutOfOrder;
    if (faults_ && broken_ < 2)
      return ++broken_ == 1 ? BlockShape::kUnclosed : BlockShape::kMissingArc;
    return BlockShape::kPlain;
  }

  Rng& rng() { return rng_; }

 private:
  const CityPlan& plan_;
  Rng rng_;
  bool faults_;
  size_t last_free_ = SIZE_MAX;
  int first_ = 0;
  int broken_ = 0;
};

// Applies the shape to the references of a block's ring (counter-clockwise:
// south side, east side, north side back, west side back). A courtyard is
// its own closed arc, referenced clockwise among the sides.
KnownPolygon ShapeBlock(BlockShape shape, const CityPlan& plan, int i, int j, Rng& rng,
                        AreaFiles& files, std::vector<int64_t>& refs) {
  KnownPolygon known{"A1108"};
  switch (shape) {
    case BlockShape::kPlain:
      break;
    case BlockShape::kCourtyard: {
      Box court = RandomRect(rng, plan.InnerBox(i, j, kCourtyardMargin), 35, 60);
      int64_t arc = files.gaiku_arc.Add("L1108", "1", RectRing(court));
      const int64_t at = plan.sample ? 2 : rng.Between(0, 4);
      refs.insert(refs.begin() + at, -arc);
      known.holes = 1;
      break;
    }
    case BlockShape::kOutOfOrder:
      std::swap(refs[1], refs[2]);  // south, north back, east, west back
      break;
    case BlockShape::kUnclosed:
      refs.pop_back();
      known.faulty = true;
      break;
    case BlockShape::kMissingArc:
      refs.back() = -kMissingArc;
      known.faulty = true;
      break;
  }
  return known;
}

}  // namespace

void WriteBlocks(const CityPlan& plan, Rng rng, bool faults, AreaFiles& files) {
  // Block rows crossed by a railway or river hold no blocks: the blocks end
  // at the railway site or the river bank, and the sides within such a row
  // bound nothing and are left out (their number stays 0).
  auto has_blocks = [&](int j) { return j >= 0 && j < plan.ny && !plan.IsCorridorRow(j); };
  // Arc numbers: the west-east sides row by row, then the south-north sides,
  // then the courtyards. A side on the sheet edge is tagged 2, others 1.
  std::vector<int64_t> h_ids, v_ids;
  for (int j = 0; j <= plan.ny; ++j) {
    for (int i = 0; i < plan.nx; ++i) {
      bool edge = j == 0 || j == plan.ny;
      bool used = has_blocks(j - 1) || has_blocks(j);
      h_ids.push_back(used ? files.gaiku_arc.Add("L1108", edge ? "2" : "1", plan.H(i, j)) : 0);
    }
  }
  for (int j = 0; j < plan.ny; ++j) {
    for (int i = 0; i <= plan.nx; ++i) {
      bool edge = i == 0 || i == plan.nx;
      v_ids.push_back(has_blocks(j) ? files.gaiku_arc.Add("L1108", edge ? "2" : "1", plan.V(i, j))
                                    : 0);
    }
  }
  BlockShapes shapes(plan, rng, faults);
  std::vector<int> blocks_in_district(plan.districts.size(), 0);
  for (int j = 0; j < plan.ny; ++j) {
    if (!has_blocks(j)) continue;
    for (int i = 0; i < plan.nx; ++i) {
      std::vector<int64_t> refs{h_ids[j * plan.nx + i], v_ids[j * (plan.nx + 1) + i + 1],
                                -h_ids[(j + 1) * plan.nx + i], -v_ids[j * (plan.nx + 1) + i]};
      KnownPolygon known = ShapeBlock(shapes.Next(i, j), plan, i, j, shapes.rng(), files, refs);
      int64_t id = files.gaiku_pgn.Add("A1108", plan.InnerBox(i, j, 0).Centre(), refs);
      if (known.holes > 0 || known.faulty) {
        known.id = id;
        files.known.push_back(known);
      }
      int d = plan.DistrictOf(i, j);
      const District& district = plan.districts[d];
      files.gaiku_atr.Add("A1108", id,
                          {plan.municipalities[district.municipality].code, district.town_code,
                           district.name, std::to_string(++blocks_in_district[d])});
    }
  }
}

namespace {

// The boundary arcs of the district grid: per district row line, one arc for
// each district column, and per district column line one for each row.
struct BoundaryArcs {
  std::vector<int64_t> h;  // (districts_y + 1) * districts_x
  std::vector<int64_t> v;  // (districts_x + 1) * districts_y
};

const char* HorizontalCode(const CityPlan& plan, int J) {
  if (J == 0) return "L1101";                 // prefecture boundary along the south
  if (J == plan.districts_y) return "L1104";  // town boundary along the north
  return "L1106";
}

const char* VerticalCode(const CityPlan& plan, int I) {
  bool outer = I == 0 || I == plan.districts_x;
  return outer || I == plan.split_column ? "L1103" : "L1106";
}

BoundaryArcs AddBoundaryArcs(const CityPlan& plan, ArcFile& arcs) {
  BoundaryArcs ids;
  for (int J = 0; J <= plan.districts_y; ++J) {
    int j = std::min(J * plan.district_h, plan.ny);
    for (int I = 0; I < plan.districts_x; ++I) {
      Polyline chain;
      for (int i = I * plan.district_w; i < std::min((I + 1) * plan.district_w, plan.nx); ++i) {
        Extend(chain, plan.H(i, j));
      }
      ids.h.push_back(arcs.Add(HorizontalCode(plan, J), "1", chain));
    }
  }
  for (int J = 0; J < plan.districts_y; ++J) {
    for (int I = 0; I <= plan.districts_x; ++I) {
      int i = std::min(I * plan.district_w, plan.nx);
      Polyline chain;
      for (int j = J * plan.district_h; j < std::min((J + 1) * plan.district_h, plan.ny); ++j) {
        Extend(chain, plan.V(i, j));
      }
      ids.v.push_back(arcs.Add(VerticalCode(plan, I), "1", chain));
    }
  }
  return ids;
}

Pt Middle(const CityPlan& plan, int i0, int j0, int i1, int j1) {
  Pt a = plan.Node(i0, j0), b = plan.Node(i1, j1);
  return {(a.n + b.n) / 2, (a.e + b.e) / 2};
}

// Enclaves: in every other district column, every third district row holds
// a small area in the middle of its southernmost block that belongs to the
// district north of it (a hole of the one, a detached part of the other).
// Returns, per district, the arc of the enclave it holds, or 0.
std::vector<int64_t> AddEnclaveArcs(const CityPlan& plan, ArcFile& arcs) {
  std::vector<int64_t> ids(plan.districts.size(), 0);
  for (int J = 0; J + 1 < plan.districts_y; J += 3) {
    for (int I = 0; I < plan.districts_x; I += 2) {
      const int i = std::min(I * plan.district_w + plan.district_w / 2, plan.nx - 1);
      const Box block = plan.InnerBox(i, J * plan.district_h, 0);
      const int64_t dn = block.Height() / 4, de = block.Width() / 4;
      const Box enclave{block.n0 + dn, block.e0 + de, block.n1 - dn, block.e1 - de};
      ids[J * plan.districts_x + I] = arcs.Add("L1106", "1", RectRing(enclave));
    }
  }
  return ids;
}

}  // namespace

void WriteBoundaries(const CityPlan& plan, AreaFiles& files) {
  BoundaryArcs arcs = AddBoundaryArcs(plan, files.gyousei_arc);
  std::vector<int64_t> enclaves = AddEnclaveArcs(plan, files.gyousei_arc);
  int dx = plan.districts_x;
  auto H = [&](int I, int J) { return arcs.h[J * dx + I]; };
  auto V = [&](int I, int J) { return arcs.v[J * (dx + 1) + I]; };
  for (int J = 0; J < plan.districts_y; ++J) {
    for (int I = 0; I < dx; ++I) {
      std::vector<int64_t> refs{H(I, J), V(I + 1, J), -H(I, J + 1), -V(I, J)};
      // The detached part is referenced first, the hole last.
      const int64_t detached = J > 0 ? enclaves[(J - 1) * dx + I] : 0;
      const int64_t enclave = enclaves[J * dx + I];
      if (detached != 0) refs.insert(refs.begin(), detached);
      if (enclave != 0) refs.push_back(-enclave);
      Pt centre = Middle(plan, I * plan.district_w, J * plan.district_h,
                         std::min((I + 1) * plan.district_w, plan.nx),
                         std::min((J + 1) * plan.district_h, plan.ny));
      int64_t id = files.tyome_pgn.Add("A1106", centre, refs);
      if (detached != 0 || enclave != 0) {
        files.known.push_back({"A1106", id, detached != 0 ? 2 : 1, enclave != 0 ? 1 : 0});
      }
      const District& d = plan.districts[J * dx + I];
      files.tyome_atr.Add("A1106", id,
                          {plan.municipalities[d.municipality].code, d.town_code, d.name});
    }
  }
  // Each municipality covers a run of district columns; its ring goes along
  // the south, up the east, back along the north and down the west.
  int first_column[] = {0, plan.split_column};
  for (size_t m = 0; m < plan.municipalities.size(); ++m) {
    int c0 = first_column[m];
    int c1 = m + 1 < plan.municipalities.size() ? plan.split_column : dx;
    std::vector<int64_t> refs;
    for (int I = c0; I < c1; ++I) refs.push_back(H(I, 0));
    for (int J = 0; J < plan.districts_y; ++J) refs.push_back(V(c1, J));
    for (int I = c1 - 1; I >= c0; --I) refs.push_back(-H(I, plan.districts_y));
    for (int J = plan.districts_y - 1; J >= 0; --J) refs.push_back(-V(c0, J));
    Pt centre = Middle(plan, std::min(c0 * plan.district_w, plan.nx), 0,
                       std::min(c1 * plan.district_w, plan.nx), plan.ny);
    int64_t id = files.si_tyo_pgn.Add("A1105", centre, refs);
    files.si_tyo_atr.Add("A1105", id, {plan.municipalities[m].code, plan.municipalities[m].name});
  }
}

}  // namespace pelmora::gen
