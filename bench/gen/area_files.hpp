#pragma once
// Every file of one area while it is being built, and the themes that fill
// them from the area's plan.
#include <string>

#include "city_plan.hpp"
#include "known_polygons.hpp"
#include "names.hpp"
#include "sheet_files.hpp"

namespace pelmora::gen {

struct AreaFiles {
  explicit AreaFiles(const SheetInfo& sheet)
      : road_arc(sheet, "ROAD"),
        road_atr(sheet, "ROAD"),
        gyousei_arc(sheet, "GYOUSEI"),
        si_tyo_pgn(sheet, "SI_TYO"),
        si_tyo_atr(sheet, "SI_TYO"),
        tyome_pgn(sheet, "TYOME"),
        tyome_atr(sheet, "TYOME"),
        gaiku_arc(sheet, "GAIKU"),
        gaiku_pgn(sheet, "GAIKU"),
        gaiku_atr(sheet, "GAIKU"),
        tatemono_arc(sheet, "TATEMONO"),
        tatemono_pgn(sheet, "TATEMONO"),
        tatemono_atr(sheet, "TATEMONO"),
        mizu_arc(sheet, "MIZU"),
        mizu_pgn(sheet, "MIZU"),
        mizu_atr(sheet, "MIZU"),
        others_arc(sheet, "OTHERS"),
        zyouti_pgn(sheet, "ZYOUTI"),
        zyouti_atr(sheet, "ZYOUTI"),
        tetudou_atr(sheet, "TETUDOU"),
        eki_pnt(sheet, "EKI"),
        eki_atr(sheet, "EKI"),
        sankaku_pnt(sheet, "SANKAKU"),
        sankaku_atr(sheet, "SANKAKU") {}

  ArcFile road_arc;
  AtrFile road_atr;
  ArcFile gyousei_arc;
  PgnFile si_tyo_pgn;
  AtrFile si_tyo_atr;
  PgnFile tyome_pgn;
  AtrFile tyome_atr;
  ArcFile gaiku_arc;
  PgnFile gaiku_pgn;
  AtrFile gaiku_atr;
  ArcFile tatemono_arc;
  PgnFile tatemono_pgn;
  AtrFile tatemono_atr;
  ArcFile mizu_arc;
  PgnFile mizu_pgn;
  AtrFile mizu_atr;
  ArcFile others_arc;
  PgnFile zyouti_pgn;
  AtrFile zyouti_atr;
  AtrFile tetudou_atr;
  PntFile eki_pnt;
  AtrFile eki_atr;
  PntFile sankaku_pnt;
  AtrFile sankaku_atr;
  std::vector<KnownPolygon> known;  // see AreaReport::known
};

// Road centre lines (L2110) on every inner street, with their names.
void WriteStreets(const CityPlan& plan, Rng rng, const NameMaker& names, AreaFiles& files);
// Block sides (L1108) and blocks (A1108), some with a courtyard or their
// references out of boundary order; with faults, one block whose ring does
// not close and one that references a missing arc.
void WriteBlocks(const CityPlan& plan, Rng rng, bool faults, AreaFiles& files);
// Boundaries (L1101, L1103, L1104, L1106), municipalities (A1105), districts
// (A1106); some districts hold an enclave that is a detached part of the
// district north of them.
void WriteBoundaries(const CityPlan& plan, AreaFiles& files);
// Railways with their sites and stations, rivers, and the coast line.
void WriteCorridors(const CityPlan& plan, Rng rng, const NameMaker& names, AreaFiles& files);
// Public buildings, sites and ponds inside blocks.
void WriteBlockFeatures(const CityPlan& plan, Rng rng, const NameMaker& names, AreaFiles& files);
// Triangulation points (P7301) with their survey attributes.
void WriteControlPoints(const CityPlan& plan, const SheetInfo& sheet, Rng rng,
                        const NameMaker& names, AreaFiles& files);
// The map-sheet file <area>/<area>.txt.
std::string SheetFileText(const SheetInfo& sheet, const CityPlan& plan, const NameMaker& names,
                          uint64_t seed);

}  // namespace pelmora::gen
