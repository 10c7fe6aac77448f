#pragma once
// How the coordinates of a zone get into the coordinate system a user asks
// for, decided with PROJ before any file is touched. Within one datum the
// transformation is a chain of map projections and exact. A change of datum
// needs a grid file that Debian does not ship; without it PROJ would
// silently fall back to something coarser (a Helmert shift about ten metres
// off from the Tokyo datum, no change at all from JGD2000 to JGD2011 where
// the 2011 earthquake moved the ground by metres), so it is refused unless
// the user names the grid or accepts the approximation.
#include <string>

namespace pelmora::gdal {

struct CrsRequest {
  int source_epsg = 0;    // the zone of the data
  std::string target;     // as the user gave it, e.g. "EPSG:4612"
  std::string grid_file;  // empty: none given
  bool allow_approximate = false;
};

struct CrsPlan {
  // Why the request cannot be done (empty: it can), without a final "。":
  // the settings check ends the sentence, an error gets its "." when shown.
  std::string refusal;
  std::string warning;   // an approximate change of datum, with its accuracy
  std::string target;    // "EPSG:n" where the target has a code, else its WKT
  std::string pipeline;  // the PROJ operation from the zone to the target
};

// The plan of a request; the same request gets the same plan, worked out
// once per process. Safe to call from any thread.
CrsPlan PlanCrsTransformation(const CrsRequest& request);

}  // namespace pelmora::gdal
