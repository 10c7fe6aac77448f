#include "shapes.hpp"

namespace pelmora::gen {
namespace {

// cos and sin of every 30 degrees, times 1000: integer outlines need no
// floating-point functions, whose last digits differ between C libraries.
constexpr int kDirections[12][2] = {{1000, 0},    {866, 500},  {500, 866},  {0, 1000},
                                    {-500, 866},  {-866, 500}, {-1000, 0},  {-866, -500},
                                    {-500, -866}, {0, -1000},  {500, -866}, {866, -500}};

Pt Shifted(Pt p, int64_t dn) {
  return {p.n + dn, p.e};
}

Polyline Section(const Polyline& line, size_t from, size_t to, int64_t dn) {
  Polyline out;
  for (size_t k = from; k <= to; ++k) out.push_back(Shifted(line[k], dn));
  return out;
}

}  // namespace

Box RandomRect(Rng& rng, const Box& box, int min_percent, int max_percent) {
  int64_t w = box.Width() * rng.Between(min_percent, max_percent) / 100 / 10 * 10;
  int64_t h = box.Height() * rng.Between(min_percent, max_percent) / 100 / 10 * 10;
  int64_t e0 = box.e0 + rng.Between(0, box.Width() - w) / 10 * 10;
  int64_t n0 = box.n0 + rng.Between(0, box.Height() - h) / 10 * 10;
  return {n0, e0, n0 + h, e0 + w};
}

Polyline Blob(Rng& rng, const Box& box) {
  Pt c = box.Centre();
  Polyline ring;
  for (const auto& d : kDirections) {
    int64_t f = rng.Between(75, 100);
    ring.push_back({c.n + box.Height() / 2 * d[1] / 1000 * f / 100,
                    c.e + box.Width() / 2 * d[0] / 1000 * f / 100});
  }
  ring.push_back(ring.front());
  return ring;
}

Polyline RectRing(const Box& b) {
  return {{b.n0, b.e0}, {b.n0, b.e1}, {b.n1, b.e1}, {b.n1, b.e0}, {b.n0, b.e0}};
}

Box BoundsOf(const Polyline& ring) {
  Box bounds{ring[0].n, ring[0].e, ring[0].n, ring[0].e};
  for (const Pt& p : ring) {
    bounds = {std::min(bounds.n0, p.n), std::min(bounds.e0, p.e), std::max(bounds.n1, p.n),
              std::max(bounds.e1, p.e)};
  }
  return bounds;
}

int64_t AddRingPolygon(ArcFile& arcs, PgnFile& polygons, std::string_view line_code,
                       std::string_view area_code, const Polyline& ring, bool split) {
  const Box bounds = BoundsOf(ring);
  if (!split) {
    int64_t id = arcs.Add(line_code, "1", ring);
    return polygons.Add(area_code, bounds.Centre(), {id});
  }
  size_t half = ring.size() / 2;
  int64_t first = arcs.Add(line_code, "1", Polyline(ring.begin(), ring.begin() + half + 1));
  int64_t second = arcs.Add(line_code, "1", Reversed(Polyline(ring.begin() + half, ring.end())));
  return polygons.Add(area_code, bounds.Centre(), {first, -second});
}

std::pair<int64_t, int64_t> AddPairPolygons(Rng& rng, ArcFile& arcs, PgnFile& polygons,
                                            std::string_view line_code, std::string_view west_code,
                                            std::string_view east_code, const Box& b) {
  int64_t mid = b.e0 + b.Width() * rng.Between(35, 65) / 100 / 10 * 10;
  Pt sw{b.n0, b.e0}, sm{b.n0, mid}, se{b.n0, b.e1}, ne{b.n1, b.e1}, nm{b.n1, mid}, nw{b.n1, b.e0};
  int64_t west = arcs.Add(line_code, "1", {nm, nw, sw, sm});
  int64_t wall = arcs.Add(line_code, "1", {sm, nm});
  int64_t east = arcs.Add(line_code, "1", {sm, se, ne, nm});
  Box west_box{b.n0, b.e0, b.n1, mid}, east_box{b.n0, mid, b.n1, b.e1};
  int64_t a = polygons.Add(west_code, west_box.Centre(), {west, wall});
  int64_t c = polygons.Add(east_code, east_box.Centre(), {east, -wall});
  return {a, c};
}

std::vector<int64_t> AddStrip(ArcFile& arcs, PgnFile& polygons, const Polyline& centre,
                              const std::vector<size_t>& cuts, int64_t half_width,
                              std::string_view line_code, std::string_view area_code) {
  // Cross line k runs from the south side to the north side at cut k; the
  // section between cuts k and k + 1 goes south side east, cross line k + 1
  // north, north side west and cross line k south.
  std::vector<int64_t> cross;
  for (size_t cut : cuts) {
    Polyline line{Shifted(centre[cut], -half_width), Shifted(centre[cut], half_width)};
    cross.push_back(arcs.Add(line_code, "2", line));
  }
  std::vector<int64_t> ids;
  for (size_t k = 0; k + 1 < cuts.size(); ++k) {
    int64_t south = arcs.Add(line_code, "1", Section(centre, cuts[k], cuts[k + 1], -half_width));
    int64_t north = arcs.Add(line_code, "1", Section(centre, cuts[k], cuts[k + 1], half_width));
    Pt middle = centre[(cuts[k] + cuts[k + 1]) / 2];
    ids.push_back(polygons.Add(area_code, middle, {south, cross[k + 1], -north, -cross[k]}));
  }
  return ids;
}

}  // namespace pelmora::gen
