// Triangulation points and the map-sheet file: the parts of an area that
// carry absolute survey coordinates.
#include <algorithm>
#include <cmath>
#include <cstdio>

#include "area_files.hpp"

namespace pelmora::gen {
namespace {

// Origin of plane rectangular zone IX in degrees, and metres per degree
// there: a flat approximation is enough for plausible survey values.
constexpr double kOriginLat = 36.0;
constexpr double kOriginLon = 139.0 + 50.0 / 60.0;
constexpr double kMetresPerDegreeLat = 110950.0;
constexpr double kMetresPerDegreeLon = 90060.0;

std::string Decimal(double value, int decimals) {
  char text[40];
  std::snprintf(text, sizeof text, "%.*f", decimals, value);
  return text;
}

// The eight-digit third mesh code of a point.
std::string MeshCode(double lat, double lon) {
  double y = lat * 1.5, x = lon - 100.0;
  int p = static_cast<int>(std::floor(y)), u = static_cast<int>(std::floor(x));
  double fy = (y - p) * 8, fx = (x - u) * 8;
  int q = static_cast<int>(std::floor(fy)), v = static_cast<int>(std::floor(fx));
  int r = static_cast<int>(std::floor((fy - q) * 10)),
      w = static_cast<int>(std::floor((fx - v) * 10));
  char code[16];
  std::snprintf(code, sizeof code, "%02d%02d%d%d%d%d", p % 100, u % 100, q, v, r, w);
  return code;
}

std::string Metres(int64_t millimetres) {
  TextBuffer text(3);
  text.Metres(millimetres);
  return text.str();
}

}  // namespace

void WriteControlPoints(const CityPlan& plan, const SheetInfo& sheet, Rng rng,
                        const NameMaker& names, AreaFiles& files) {
  int count = std::max(2, plan.nx * plan.ny / 400);
  for (int k = 0; k < count; ++k) {
    Pt p{rng.Between(5 * kMetre, plan.extent_n - 5 * kMetre) / 10 * 10,
         rng.Between(5 * kMetre, plan.extent_e - 5 * kMetre) / 10 * 10};
    int64_t id = files.sankaku_pnt.Add("P7301", p);
    int64_t north = sheet.origin_n + p.n, east = sheet.origin_e + p.e;
    double lat = kOriginLat + static_cast<double>(north) / 1000.0 / kMetresPerDegreeLat;
    double lon = kOriginLon + static_cast<double>(east) / 1000.0 / kMetresPerDegreeLon;
    std::string mesh = MeshCode(lat, lon);
    std::string kind = names.TriangulationKind(rng);
    char point_code[32];
    std::snprintf(point_code, sizeof point_code, "TR3%s%02d", mesh.c_str(), k + 1);
    TextBuffer height(2);
    height.Metres(rng.Between(1500, 65000) / 10 * 10);
    files.sankaku_atr.Add(
        "P7301", id,
        {mesh, point_code, names.Place(rng), mesh.substr(0, 6), Decimal(lon, 7), Decimal(lat, 7),
         kind, std::to_string(sheet.zone), Metres(north), Metres(east), height.str()});
  }
}

std::string SheetFileText(const SheetInfo& sheet, const CityPlan& plan, const NameMaker& names,
                          uint64_t seed) {
  // Fourteen lines; the seventh gives the zone, the frame's corners (south,
  // west, north, east), scale, datum, unit, resolution and the datum flag:
  // 1 for the world geodetic system, 0 for the Tokyo datum.
  Rng prefecture_rng = Rng(seed).Fork(std::stoull(sheet.area_code.substr(0, 2)));
  TextBuffer t(sheet.Decimals());
  t.Text("DM2500").Field(sheet.area_code).Field(sheet.sheet_number).EndLine();
  t.Text(names.Prefecture(prefecture_rng)).Field(plan.municipalities[0].name).EndLine();
  t.Text("SHEET").Field(sheet.sheet_number).EndLine();
  t.Text("SCALE").Field("2500").EndLine();
  t.Text("EDITION").Field(sheet.newer_edition ? "2005" : "2002").EndLine();
  t.Text("FILES").Field("24").EndLine();
  t.Int(sheet.zone).Comma().Metres(sheet.origin_n).Comma().Metres(sheet.origin_e);
  t.Comma().Metres(sheet.origin_n + sheet.extent_n).Comma().Metres(sheet.origin_e + sheet.extent_e);
  t.Field("2500").Field(sheet.newer_edition ? "JGD2000" : "TOKYO").Field("M");
  t.Field(sheet.newer_edition ? "0.001" : "0.01").Field(sheet.newer_edition ? "1" : "0");
  t.EndLine();
  t.Text("ROAD").Field("roadntwk.arc").Field("road.atr").EndLine();
  t.Text("GYOUSEI").Field("gyousei.arc").Field("si_tyo.pgn").Field("si_tyo.atr");
  t.Field("tyome.pgn").Field("tyome.atr").EndLine();
  t.Text("GAIKU").Field("gaiku.arc").Field("gaiku.pgn").Field("gaiku.atr").EndLine();
  t.Text("TATEMONO").Field("tatemono.arc").Field("tatemono.pgn").Field("tatemono.atr").EndLine();
  t.Text("MIZU").Field("mizu.arc").Field("mizu.pgn").Field("mizu.atr").EndLine();
  t.Text("OTHERS").Field("others.arc").Field("zyouti.pgn").Field("zyouti.atr");
  t.Field("tetudou.atr").Field("eki.pnt").Field("eki.atr").EndLine();
  t.Text("KIJUNTEN").Field("sankaku.pnt").Field("sankaku.atr").EndLine();
  return t.str();
}

}  // namespace pelmora::gen
