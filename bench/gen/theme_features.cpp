// What stands inside blocks: public buildings, sites of five kinds and ponds.
#include "area_files.hpp"
#include "shapes.hpp"

namespace pelmora::gen {
namespace {

// Feature outlines keep 6 m from the block sides, clear of their bends.
constexpr int64_t kMargin = 6 * kMetre;

std::vector<std::string> BuildingUses(Rng& rng, const NameMaker& names) {
  // Most buildings hold one facility; some house two or three.
  int count = rng.Percent(75) ? 1 : static_cast<int>(rng.Between(2, 3));
  std::vector<std::string> values;
  for (int k = 0; k < count; ++k) {
    BuildingUse use = names.Building(rng);
    values.push_back(use.code);
    values.push_back(use.name);
  }
  return values;
}

struct SiteKind {
  const char* line_code;
  const char* area_code;
  std::string (NameMaker::*name)(Rng&) const;
};

SiteKind KindOf(Feature f) {
  switch (f) {
    case Feature::kPark:
      return {"L6242", "A6242", &NameMaker::Park};
    case Feature::kSchool:
      return {"L6243", "A6243", &NameMaker::School};
    case Feature::kShrine:
      return {"L6244", "A6244", &NameMaker::Shrine};
    case Feature::kCemetery:
      return {"L6215", "A6215", &NameMaker::Cemetery};
    default:
      return {"L6200", "A6200", &NameMaker::OtherSite};
  }
}

class FeatureWriter {
 public:
  FeatureWriter(Rng rng, const NameMaker& names, AreaFiles& files, bool sample)
      : rng_(rng), island_rng_(rng.Fork(17)), names_(names), files_(files), sample_(sample) {}

  void Write(Feature feature, const Box& room) {
    switch (feature) {
      case Feature::kNone:
        return;
      case Feature::kBuilding:
        return Building(room);
      case Feature::kBuildingPair:
        return BuildingPair(room);
      case Feature::kParkAndSchool:
        return ParkAndSchool(room);
      case Feature::kPond:
        return Pond(room);
      default:
        return Site(feature, room);
    }
  }

 private:
  void Building(const Box& room) {
    Polyline ring = RectRing(RandomRect(rng_, room, 40, 75));
    int64_t id = AddRingPolygon(files_.tatemono_arc, files_.tatemono_pgn, "L3500", "A3500", ring,
                                rng_.Percent(30));
    files_.tatemono_atr.Add("A3500", id, BuildingUses(rng_, names_));
  }

  void BuildingPair(const Box& room) {
    auto [west, east] = AddPairPolygons(rng_, files_.tatemono_arc, files_.tatemono_pgn, "L3500",
                                        "A3500", "A3500", RandomRect(rng_, room, 60, 85));
    files_.tatemono_atr.Add("A3500", west, BuildingUses(rng_, names_));
    files_.tatemono_atr.Add("A3500", east, BuildingUses(rng_, names_));
  }

  void Site(Feature feature, const Box& room) {
    SiteKind kind = KindOf(feature);
    Box outline = RandomRect(rng_, room, 55, 90);
    // Parks are rounded; the other sites follow the lots they stand on.
    Polyline ring = feature == Feature::kPark ? Blob(rng_, outline) : RectRing(outline);
    int64_t id = AddRingPolygon(files_.others_arc, files_.zyouti_pgn, kind.line_code,
                                kind.area_code, ring, rng_.Percent(50));
    files_.zyouti_atr.Add(kind.area_code, id, {(names_.*kind.name)(rng_)});
  }

  void ParkAndSchool(const Box& room) {
    auto [park, school] = AddPairPolygons(rng_, files_.others_arc, files_.zyouti_pgn, "L6243",
                                          "A6242", "A6243", RandomRect(rng_, room, 70, 90));
    files_.zyouti_atr.Add("A6242", park, {names_.Park(rng_)});
    files_.zyouti_atr.Add("A6243", school, {names_.School(rng_)});
  }

  void Pond(const Box& room) {
    Box outline = RandomRect(rng_, room, 50, 85);
    Polyline ring = Blob(rng_, outline);
    // Islands are drawn from a stream of their own, so that every other
    // feature of the area stays as it was without them.
    Rng& rng = island_rng_;
    int64_t id = 0;
    if (sample_ || rng.Percent(50)) {
      id = LakeWithIsland(ring, outline, sample_ || rng.Percent(40));
    } else {
      id = AddRingPolygon(files_.mizu_arc, files_.mizu_pgn, "L5101", "A5105", ring, false);
    }
    files_.mizu_atr.Add("A5105", id, {names_.Pond(rng_)});
  }

  // A lake whose island may hold a pond of its own: the lake's shore, the
  // island's shore as a hole (referenced first, clockwise) and the pond as a
  // second part. Every vertex of a blob lies at 75 % or more of the box's
  // half size, so a blob in the middle 40 % of the box stays clear of it.
  int64_t LakeWithIsland(const Polyline& shore, const Box& outline, bool pond) {
    Box island_box = Middle(outline, 40);
    int64_t shore_arc = files_.mizu_arc.Add("L5101", "1", shore);
    int64_t island_arc = files_.mizu_arc.Add("L5101", "1", Blob(island_rng_, island_box));
    std::vector<int64_t> refs{-island_arc, shore_arc};
    if (pond) {
      refs.push_back(files_.mizu_arc.Add("L5101", "1", Blob(island_rng_, Middle(island_box, 40))));
    }
    int64_t id = files_.mizu_pgn.Add("A5105", BoundsOf(shore).Centre(), refs);
    files_.known.push_back({"A5105", id, pond ? 2 : 1, 1});
    return id;
  }

  // The box of percent of the width and height of box about its centre.
  static Box Middle(const Box& box, int64_t percent) {
    const int64_t dn = box.Height() * (100 - percent) / 200 / 10 * 10;
    const int64_t de = box.Width() * (100 - percent) / 200 / 10 * 10;
    return {box.n0 + dn, box.e0 + de, box.n1 - dn, box.e1 - de};
  }

  Rng rng_;
  Rng island_rng_;
  const NameMaker& names_;
  AreaFiles& files_;
  bool sample_;
};

}  // namespace

void WriteBlockFeatures(const CityPlan& plan, Rng rng, const NameMaker& names, AreaFiles& files) {
  FeatureWriter writer(rng, names, files, plan.sample);
  for (int j = 0; j < plan.ny; ++j) {
    for (int i = 0; i < plan.nx; ++i) {
      writer.Write(plan.features[j * plan.nx + i], plan.InnerBox(i, j, kMargin));
    }
  }
}

}  // namespace pelmora::gen
