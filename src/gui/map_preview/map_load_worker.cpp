#include "map_load_worker.hpp"

#include <QThread>

#include "core/errors.hpp"
#include "map_loader.hpp"
#include "map_painter.hpp"

namespace pelmora::gui {
namespace {

// Forwards the engine's progress as positions, only when they change, and
// its stop requests from the flag.
class LoadObserver : public ConversionObserver {
 public:
  LoadObserver(TMapLoadWorker& worker, std::atomic<bool>& stop) : worker_(worker), stop_(stop) {}

  void OnProgress(const RunProgress& event) override {
    if (event.bytes_to_read == 0) return;
    int position = static_cast<int>(TMapLoadWorker::kProgressMaximum *
                                    static_cast<double>(event.bytes_done) / event.bytes_to_read);
    if (position == last_) return;
    last_ = position;
    emit worker_.Progress(position);
  }
  bool StopRequested() override { return stop_; }

 private:
  TMapLoadWorker& worker_;
  std::atomic<bool>& stop_;
  int last_ = -1;
};

}  // namespace

TMapLoadWorker::TMapLoadWorker(QObject* parent) : QObject(parent) {
  qRegisterMetaType<std::shared_ptr<pelmora::render::MapScene>>();
}

TMapLoadWorker::~TMapLoadWorker() {
  if (!thread_) return;
  stop_ = true;
  thread_->wait();
}

bool TMapLoadWorker::IsRunning() const {
  return thread_ && thread_->isRunning();
}

bool TMapLoadWorker::Start(const ConversionSettings& settings) {
  if (IsRunning()) return false;
  if (thread_) thread_->wait();
  delete thread_;
  stop_ = false;
  thread_ = QThread::create([this, settings] { Run(settings); });
  thread_->start();
  return true;
}

void TMapLoadWorker::Run(ConversionSettings settings) {
  LoadObserver observer(*this, stop_);
  // The window converts with one job; the preview, which only shows the
  // map once it is read, reads with every core.
  settings.jobs = render::LoadJobs();
  try {
    render::LoadResult result = render::LoadLayers(std::move(settings), observer);
    if (result.problem != SettingsProblem::kNone) {
      emit Failed(
          QString::fromStdString(SettingsProblemMessage(result.problem, result.problem_folder)),
          false);
      return;
    }
    auto scene = std::make_shared<render::MapScene>(std::move(result.layers), result.flagged_areas);
    render::BuildOverview(*scene);
    emit Loaded(std::move(scene));
  } catch (const ConversionCancelled& e) {
    emit Failed(QString::fromStdString(WithFinalPeriod(e.what())), true);
  } catch (const ConversionError& e) {
    emit Failed(QString::fromStdString(DescribeError(e)), false);
  } catch (const std::exception& e) {  // such as running out of memory
    emit Failed(QString::fromStdString(WithFinalPeriod(e.what())), false);
  }
}

}  // namespace pelmora::gui
