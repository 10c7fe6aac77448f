#include "crs_plan.hpp"

#include <ogr_spatialref.h>
#include <proj.h>
#include <strings.h>
#include <sys/stat.h>

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <sstream>
#include <tuple>
#include <vector>

#include "gdal_errors.hpp"
#include "proj_objects.hpp"

namespace pelmora::gdal {
namespace {

// "EPSG:n" where the target has an EPSG code (or is one to the letter),
// else its WKT; empty with a refusal for what is no usable target.
std::string ResolveTarget(const std::string& input, std::string& refusal) {
  GdalErrorScope quiet(input, nullptr);
  OGRSpatialReference srs;
  const char* const options[] = {"ALLOW_NETWORK_ACCESS=NO", nullptr};
  if (input.empty() || srs.SetFromUserInput(input.c_str(), options) != OGRERR_NONE) {
    refusal = "座標系「" + input +
              "」はわかりません。ogr2ogr の -t_srs と同じ書き方 (例 EPSG:4612) で指定してください";
    return {};
  }
  if (srs.IsCompound() || !(srs.IsGeographic() || srs.IsProjected()) || srs.GetAxesCount() != 2) {
    refusal = "「" + input +
              "」は2次元の地理座標系でも投影座標系でもないため、地図の平面座標をそこへ投影し直せ"
              "ません";
    return {};
  }
  const char* authority = srs.GetAuthorityName(nullptr);
  if (authority != nullptr && std::string(authority) == "EPSG") {
    return std::string("EPSG:") + srs.GetAuthorityCode(nullptr);
  }
  if (std::unique_ptr<OGRSpatialReference> match(srs.FindBestMatch(100, "EPSG", nullptr));
      match && match->GetAuthorityCode(nullptr) != nullptr) {
    return std::string("EPSG:") + match->GetAuthorityCode(nullptr);
  }
  char* wkt = nullptr;
  const char* const wkt2[] = {"FORMAT=WKT2_2019", nullptr};
  srs.exportToWkt(&wkt, wkt2);
  std::string text = wkt != nullptr ? wkt : "";
  CPLFree(wkt);
  return text;
}

bool SameFileName(const std::string& path, const std::string& grid_name) {
  const std::string name = path.substr(path.rfind('/') + 1);
  const std::string grid = grid_name.substr(grid_name.rfind('/') + 1);
  return !grid.empty() && ::strcasecmp(name.c_str(), grid.c_str()) == 0;
}

// "a.gsb, b.gsb", each name once.
std::string JoinNames(const std::vector<std::string>& names) {
  std::string list;
  for (size_t i = 0; i < names.size(); ++i) {
    if (std::find(names.begin(), names.begin() + i, names[i]) != names.begin() + i) continue;
    list += (list.empty() ? "" : ", ") + names[i];
  }
  return list;
}

// The transformation of the request with the user's grid: the operation
// that uses a grid of the file's name, with the file put in its place.
void PlanWithGrid(ProjPair& pair, const std::string& grid_file, CrsPlan& plan) {
  struct stat st {};
  if (::stat(grid_file.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) {
    plan.refusal = "グリッドファイル「" + grid_file + "」はありません";
    return;
  }
  char resolved[PATH_MAX];
  const std::string path = ::realpath(grid_file.c_str(), resolved) ? resolved : grid_file;
  if (path.find_first_of(" \t\"'") != std::string::npos) {
    plan.refusal = "グリッドファイル「" + grid_file +
                   "」のパスには空白か引用符があるため、PROJ に渡せません。空白も引用符もない"
                   "フォルダに置いてください";
    return;
  }
  std::vector<std::string> known;
  for (ProjOperation& op : pair.Operations(PROJ_GRID_AVAILABILITY_IGNORED)) {
    const std::vector<std::string> grids = op.Grids();
    known.insert(known.end(), grids.begin(), grids.end());
    if (grids.size() != 1 || !SameFileName(path, grids[0])) continue;
    plan.pipeline = op.PipelineWithGrid(grids[0], path);
    if (!pair.CanRun(plan.pipeline)) {
      plan.refusal =
          "PROJ がグリッドファイル「" + grid_file + "」を読めません: " + pair.LastError();
    }
    return;
  }
  plan.refusal = "グリッドファイル「" + grid_file + "」は " + pair.SourceName() + " から " +
                 pair.TargetName() + " へのどの変換にも使われません" +
                 (known.empty() ? std::string(" (グリッドを使う変換はありません)")
                                : " (使われるのは " + JoinNames(known) + ")");
}

// "「Tokyo to JGD2000 (1)」(精度 9 m、範囲 <area>)": the operation's name
// and area are PROJ's own texts.
std::string Describe(const ProjOperation& op) {
  std::ostringstream text;
  text << "「" << op.Name() << "」(精度 ";
  if (op.AccuracyMetres() >= 0) {
    text << op.AccuracyMetres() << " m";
  } else {
    text << "不明";
  }
  std::string area = op.Area();
  while (!area.empty() && area.back() == '.') area.pop_back();
  if (!area.empty()) text << "、範囲 " << area;
  text << ")";
  const std::string pipeline = op.Pipeline();
  if (pipeline.find("+proj=noop") != std::string::npos) {
    text << "、座標を変えない変換";
  } else if (pipeline.find("+proj=helmert") != std::string::npos) {
    text << "、Helmert 変換";
  }
  return text.str();
}

// What PROJ would do without a grid, and which grids would make it exact.
std::string Fallback(ProjPair& pair, std::vector<std::string>& better_grids,
                     std::optional<ProjOperation>& best) {
  for (ProjOperation& op : pair.Operations(PROJ_GRID_AVAILABILITY_IGNORED)) {
    for (const std::string& grid : op.Grids()) better_grids.push_back(grid);
  }
  std::vector<ProjOperation> available =
      pair.Operations(PROJ_GRID_AVAILABILITY_DISCARD_OPERATION_IF_MISSING_GRID);
  if (available.empty() || available[0].IsBallpark()) return {};
  best.emplace(std::move(available[0]));
  return Describe(*best);
}

void PlanChangeOfDatum(ProjPair& pair, const CrsRequest& request, CrsPlan& plan) {
  if (!request.grid_file.empty()) return PlanWithGrid(pair, request.grid_file, plan);
  std::vector<std::string> grids;
  std::optional<ProjOperation> best;
  const std::string fallback = Fallback(pair, grids, best);
  const std::string change = pair.SourceName() + " から " + pair.TargetName() +
                             " への変換は測地系の変更 (" + pair.SourceDatum() + " → " +
                             pair.TargetDatum() + ") です。";
  const std::string needs =
      grids.empty() ? std::string("PROJ はこの変換に使えるグリッドを知りません")
                    : "正確な変換にはグリッドファイル " + JoinNames(grids) +
                          " が必要ですが、Debian には含まれていません (--grid FILE で指定して"
                          "ください)";
  if (fallback.empty()) {
    plan.refusal = change +
                   "グリッドなしでは、PROJ には測地系の変更を無視するおおよその移動 (ballpark) "
                   "しかありません。" +
                   needs;
    return;
  }
  if (!request.allow_approximate) {
    plan.refusal = change + "グリッドなしでは、PROJ は断りなく" + fallback + "を使います。" +
                   needs + "。近似でよければ --allow-approximate を指定してください";
    return;
  }
  plan.pipeline = best->Pipeline();
  plan.warning = "測地系をグリッドファイルなしで近似変換します: " + pair.SourceName() + " → " +
                 pair.TargetName() + "、" + fallback +
                 (grids.empty() ? std::string() : " (正確な変換には " + JoinNames(grids) + ")");
}

CrsPlan MakePlan(const CrsRequest& request) {
  CrsPlan plan;
  plan.target = ResolveTarget(request.target, plan.refusal);
  if (!plan.refusal.empty()) return plan;
  ProjPair pair(request.source_epsg, plan.target);
  if (!pair.valid()) {
    plan.refusal = "PROJ は座標系「" + request.target + "」へ変換できません: " + pair.LastError();
  } else if (pair.SameDatum()) {
    // A chain of map projections on one datum: exact whatever PROJ sorts
    // first, and no grid can improve it.
    std::vector<ProjOperation> ops = pair.Operations(PROJ_GRID_AVAILABILITY_IGNORED);
    if (ops.empty()) {
      plan.refusal = "PROJ は " + pair.SourceName() + " から " + pair.TargetName() +
                     " への変換を見つけられません";
    } else {
      plan.pipeline = ops[0].Pipeline();
    }
  } else {
    PlanChangeOfDatum(pair, request, plan);
  }
  return plan;
}

}  // namespace

CrsPlan PlanCrsTransformation(const CrsRequest& request) {
  static std::mutex mutex;
  static std::map<std::tuple<int, std::string, std::string, bool>, CrsPlan> plans;
  const auto key = std::make_tuple(request.source_epsg, request.target, request.grid_file,
                                   request.allow_approximate);
  std::lock_guard lock(mutex);
  auto found = plans.find(key);
  if (found == plans.end()) found = plans.emplace(key, MakePlan(request)).first;
  return found->second;
}

}  // namespace pelmora::gdal
