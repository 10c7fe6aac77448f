#pragma once
// PROJ's own command-line tool and grid format, for checking reprojected
// output independently of the converter.
#include <string>
#include <vector>

namespace pelmora::testing_support {

// The path of cs2cs (Debian's proj-bin); empty when it is not installed.
std::string FindCs2cs();

// Transforms points (x0, y0, x1, y1, ...: easting or longitude first) from
// one CRS to another with cs2cs, which takes and gives coordinates in the
// CRS's own axis order: the points are swapped for the Japanese zones and
// geographic CRSs, whose EPSG order is northing (latitude) first.
// proj_data, when set, is put before PROJ's own search path (a grid there
// is then found and preferred). Empty on failure.
std::vector<double> Cs2cs(const std::string& from, const std::string& to,
                          const std::vector<double>& xy, const std::string& proj_data = {});

// Writes an NTv2 grid file of one subgrid over a longitude/latitude box
// (degrees, east and north positive) with the same shift everywhere
// (arc-seconds, east and north positive).
void WriteNtv2Grid(const std::string& path, double west, double south, double east, double north,
                   double shift_east_seconds, double shift_north_seconds);

}  // namespace pelmora::testing_support
