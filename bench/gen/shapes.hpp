#pragma once
// Outlines of features and their arcs: single rings, pairs of neighbours that
// share a wall, and strips along railways and rivers split into sections that
// share their cross lines. Every function writes arcs and polygons whose
// references chain end to start and close.
#include <string_view>
#include <vector>

#include "geometry.hpp"
#include "rng.hpp"
#include "sheet_files.hpp"

namespace pelmora::gen {

// A rectangle of random size and place inside box.
Box RandomRect(Rng& rng, const Box& box, int min_percent, int max_percent);
// A closed, roughly elliptic outline of twelve vertices inside box.
Polyline Blob(Rng& rng, const Box& box);
// A closed rectangle outline, counter-clockwise from the south-west corner.
Polyline RectRing(const Box& box);
// The smallest box holding every vertex of ring (not empty).
Box BoundsOf(const Polyline& ring);

// One polygon of the closed ring, stored as one arc or split into two with
// the second stored backwards (and referenced negatively).
int64_t AddRingPolygon(ArcFile& arcs, PgnFile& polygons, std::string_view line_code,
                       std::string_view area_code, const Polyline& ring, bool split);

// Two polygons side by side in box, west and east of a shared wall arc.
// Returns their individual numbers.
std::pair<int64_t, int64_t> AddPairPolygons(Rng& rng, ArcFile& arcs, PgnFile& polygons,
                                            std::string_view line_code, std::string_view west_code,
                                            std::string_view east_code, const Box& box);

// A strip of half_width about centre, cut at the given vertex indexes of
// centre (the first and last included) into sections. Side arcs carry tag
// 1, cross lines tag 2. Returns the polygons' individual numbers.
std::vector<int64_t> AddStrip(ArcFile& arcs, PgnFile& polygons, const Polyline& centre,
                              const std::vector<size_t>& cuts, int64_t half_width,
                              std::string_view line_code, std::string_view area_code);

}  // namespace pelmora::gen
