#pragma once
// PROJ's objects as far as planning a reprojection needs them: the source
// and target coordinate systems in a context of their own, and the
// operations PROJ finds between them. Each object frees what it holds.
#include <proj.h>

#include <memory>
#include <string>
#include <vector>

namespace pelmora::gdal {

struct ProjFree {
  void operator()(PJ* object) const { proj_destroy(object); }
  void operator()(PJ_CONTEXT* context) const { proj_context_destroy(context); }
};
using ProjObject = std::unique_ptr<PJ, ProjFree>;
using ProjContext = std::unique_ptr<PJ_CONTEXT, ProjFree>;

// One coordinate operation PROJ offers.
class ProjOperation {
 public:
  ProjOperation(PJ_CONTEXT* context, ProjObject op) : context_(context), op_(std::move(op)) {}

  // The names of the grid files it uses, as PROJ knows them.
  std::vector<std::string> Grids() const;
  // An offset that ignores the datums, for lack of anything better.
  bool IsBallpark() const;
  // The datum transformations in it, e.g. "Tokyo to JGD2000 (1)".
  std::string Name() const;
  double AccuracyMetres() const;  // negative: unknown
  std::string Area() const;       // where it applies
  // As a PROJ pipeline, optionally with one grid's name replaced by a path;
  // empty when the grid is not named in it.
  std::string Pipeline() const;
  std::string PipelineWithGrid(const std::string& grid, const std::string& path) const;

 private:
  PJ_CONTEXT* context_;
  ProjObject op_;
};

class ProjPair {
 public:
  // target: "EPSG:n" or a WKT.
  ProjPair(int source_epsg, const std::string& target);

  bool valid() const { return source_ && target_; }
  std::string LastError() const;
  // "EPSG:2451 (JGD2000 / Japan Plane Rectangular CS IX)"
  std::string SourceName() const { return source_name_; }
  std::string TargetName() const { return target_name_; }
  std::string SourceDatum() const;
  std::string TargetDatum() const;
  bool SameDatum() const;
  // The operations from source to target in PROJ's order of preference.
  std::vector<ProjOperation> Operations(PROJ_GRID_AVAILABILITY_USE grids) const;
  // Whether PROJ can set up the pipeline (its grids found and readable).
  bool CanRun(const std::string& pipeline) const;

 private:
  ProjContext context_;
  ProjObject source_, target_;
  std::string source_name_, target_name_;
};

}  // namespace pelmora::gdal
