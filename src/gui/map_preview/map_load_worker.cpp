#include "map_load_worker.hpp"

#include "map_loader.hpp"
#include "map_painter.hpp"

namespace pelmora::gui {

TMapLoadWorker::TMapLoadWorker(QObject* parent) : QObject(parent) {
  qRegisterMetaType<std::shared_ptr<pelmora::render::MapScene>>();
}

TMapLoadWorker::~TMapLoadWorker() {
  runner_.RequestStop();
  runner_.Wait();
}

bool TMapLoadWorker::Start(const ConversionSettings& settings) {
  return runner_.Start([this, settings = settings](ConversionObserver& observer) mutable {
    // The window converts with one job; the preview, which only shows the
    // map once it is read, reads with every core.
    settings.jobs = render::LoadJobs();
    render::LoadResult result = render::LoadLayers(std::move(settings), observer);
    if (result.problem != SettingsProblem::kNone) {
      return OutcomeOfResult({result.problem, {}, result.problem_folder});
    }
    scene_ = std::make_shared<render::MapScene>(std::move(result.layers), result.flagged_areas);
    render::BuildOverview(*scene_);
    return ConversionOutcome{};
  });
}

void TMapLoadWorker::OnRunEnded(const window::RunEnd& end) {
  const ConversionOutcome& outcome = end.outcome;
  std::shared_ptr<render::MapScene> scene = std::move(scene_);
  if (outcome.kind == OutcomeKind::kDone && scene) {
    emit Loaded(std::move(scene));
  } else {
    emit Failed(QString::fromStdString(outcome.description), outcome.kind == OutcomeKind::kStopped);
  }
}

}  // namespace pelmora::gui
