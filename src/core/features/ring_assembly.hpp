#pragma once
// Polygons assembled from the arcs that bound them: arcs joined end to end
// into closed rings, and the rings organised into outer rings and holes by
// containment, so that a block with a courtyard, a lake with an island or a
// town with a detached part is a valid polygon instead of one ring running
// out to the inner boundary and back.
#include <cstddef>
#include <vector>

#include "geometry.hpp"

namespace pelmora {

struct AssemblyResult {
  int rings_not_closed = 0;  // rings closed here with their first vertex
};

// points holds the vertices of the polygon's arcs in reference order, each
// arc in the direction of its reference; arc_ends[k] is the index past the
// last vertex of arc k. Fills out with every ring as a part, in the layout
// that feature.hpp describes: each outer ring followed by its holes, outer
// rings clockwise, holes counter-clockwise, every ring closed. The vertex
// where two arcs meet appears once; every other vertex is kept.
AssemblyResult AssembleRings(const std::vector<TSFPoint>& points,
                             const std::vector<size_t>& arc_ends, TSFShape& out);

}  // namespace pelmora
