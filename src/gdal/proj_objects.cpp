#include "proj_objects.hpp"

namespace pelmora::gdal {
namespace {

std::string Text(const char* text) {
  return text != nullptr ? text : "";
}

std::string DisplayName(PJ* crs, const std::string& code) {
  const std::string name = Text(proj_get_name(crs));
  return code.empty() ? name : code + " (" + name + ")";
}

ProjObject Datum(PJ_CONTEXT* context, PJ* crs) {
  return ProjObject(proj_crs_get_datum_forced(context, crs));
}

}  // namespace

std::vector<std::string> ProjOperation::Grids() const {
  std::vector<std::string> grids;
  const int count = proj_coordoperation_get_grid_used_count(context_, op_.get());
  for (int i = 0; i < count; ++i) {
    const char* name = nullptr;
    if (proj_coordoperation_get_grid_used(context_, op_.get(), i, &name, nullptr, nullptr, nullptr,
                                          nullptr, nullptr, nullptr) != 0) {
      grids.push_back(Text(name));
    }
  }
  return grids;
}

bool ProjOperation::IsBallpark() const {
  return proj_coordoperation_has_ballpark_transformation(context_, op_.get()) != 0;
}

std::string ProjOperation::Name() const {
  // A chain such as "Inverse of zone IX + Tokyo to JGD2000 (1) + zone IX":
  // the datum transformations are what tells one chain from another.
  std::string names;
  if (proj_get_type(op_.get()) == PJ_TYPE_CONCATENATED_OPERATION) {
    const int steps = proj_concatoperation_get_step_count(context_, op_.get());
    for (int i = 0; i < steps; ++i) {
      ProjObject step(proj_concatoperation_get_step(context_, op_.get(), i));
      if (step && proj_get_type(step.get()) == PJ_TYPE_TRANSFORMATION) {
        names += (names.empty() ? "" : " + ") + Text(proj_get_name(step.get()));
      }
    }
  }
  return names.empty() ? Text(proj_get_name(op_.get())) : names;
}

double ProjOperation::AccuracyMetres() const {
  return proj_coordoperation_get_accuracy(context_, op_.get());
}

std::string ProjOperation::Area() const {
  const char* area = nullptr;
  if (!proj_get_area_of_use(context_, op_.get(), nullptr, nullptr, nullptr, nullptr, &area)) {
    return {};
  }
  return Text(area);
}

std::string ProjOperation::Pipeline() const {
  return Text(proj_as_proj_string(context_, op_.get(), PJ_PROJ_5, nullptr));
}

std::string ProjOperation::PipelineWithGrid(const std::string& grid,
                                            const std::string& path) const {
  std::string pipeline = Pipeline();
  const std::string named = "+grids=" + grid;
  const size_t at = pipeline.find(named);
  const size_t end = at + named.size();
  if (at == std::string::npos || (end < pipeline.size() && pipeline[end] != ' ')) return {};
  return pipeline.replace(at, named.size(), "+grids=" + path);
}

ProjPair::ProjPair(int source_epsg, const std::string& target) : context_(proj_context_create()) {
  // Failures are reported through LastError, never printed by PROJ.
  proj_log_level(context_.get(), PJ_LOG_NONE);
  const std::string source_code = std::to_string(source_epsg);
  source_.reset(proj_create_from_database(context_.get(), "EPSG", source_code.c_str(),
                                          PJ_CATEGORY_CRS, 0, nullptr));
  const bool epsg = target.starts_with("EPSG:");
  if (epsg) {
    target_.reset(proj_create_from_database(context_.get(), "EPSG", target.c_str() + 5,
                                            PJ_CATEGORY_CRS, 0, nullptr));
  } else {
    target_.reset(proj_create(context_.get(), target.c_str()));
  }
  if (source_) source_name_ = DisplayName(source_.get(), "EPSG:" + source_code);
  if (target_) target_name_ = DisplayName(target_.get(), epsg ? target : "");
}

std::string ProjPair::LastError() const {
  return Text(proj_context_errno_string(context_.get(), proj_context_errno(context_.get())));
}

std::string ProjPair::SourceDatum() const {
  return Text(proj_get_name(Datum(context_.get(), source_.get()).get()));
}

std::string ProjPair::TargetDatum() const {
  return Text(proj_get_name(Datum(context_.get(), target_.get()).get()));
}

bool ProjPair::SameDatum() const {
  ProjObject source = Datum(context_.get(), source_.get());
  ProjObject target = Datum(context_.get(), target_.get());
  return source && target &&
         proj_is_equivalent_to_with_ctx(context_.get(), source.get(), target.get(),
                                        PJ_COMP_EQUIVALENT) != 0;
}

std::vector<ProjOperation> ProjPair::Operations(PROJ_GRID_AVAILABILITY_USE grids) const {
  std::vector<ProjOperation> operations;
  PJ_CONTEXT* context = context_.get();
  PJ_OPERATION_FACTORY_CONTEXT* factory = proj_create_operation_factory_context(context, nullptr);
  if (factory == nullptr) return operations;
  proj_operation_factory_context_set_grid_availability_use(context, factory, grids);
  proj_operation_factory_context_set_spatial_criterion(context, factory,
                                                       PROJ_SPATIAL_CRITERION_PARTIAL_INTERSECTION);
  if (PJ_OBJ_LIST* list = proj_create_operations(context, source_.get(), target_.get(), factory)) {
    for (int i = 0; i < proj_list_get_count(list); ++i) {
      operations.emplace_back(context, ProjObject(proj_list_get(context, list, i)));
    }
    proj_list_destroy(list);
  }
  proj_operation_factory_context_destroy(factory);
  return operations;
}

bool ProjPair::CanRun(const std::string& pipeline) const {
  return !pipeline.empty() && ProjObject(proj_create(context_.get(), pipeline.c_str())) != nullptr;
}

}  // namespace pelmora::gdal
