#include "conversion_worker.hpp"

#include <QElapsedTimer>
#include <QFile>
#include <QThread>
#include <algorithm>
#include <exception>

#include "core/conversion/observer.hpp"
#include "core/conversion/run.hpp"
#include "core/errors.hpp"

namespace pelmora::gui {

TWorkerObserver::TWorkerObserver(TConversionWorker& worker, std::atomic<bool>& stop)
    : worker_(worker), stop_(stop) {
  clock_.start();
}

void TWorkerObserver::OnLog(std::string_view line) {
  Flush();
  emit worker_.Log(QString::fromUtf8(line.data(), static_cast<qsizetype>(line.size())));
}

void TWorkerObserver::OnWarning(const Warning& event) {
  Flush();
  ++warnings_;
  const std::string line = LogLine(event);
  emit worker_.WarningLog(QString::fromUtf8(line.data(), static_cast<qsizetype>(line.size())));
}

void TWorkerObserver::OnRunStarted(const RunStarted&) {
  emit worker_.ProgressRange(TConversionWorker::kProgressMaximum);
  last_sent_ = 0;  // the range starts at position 0
  has_pending_ = false;
  clock_.restart();
}

void TWorkerObserver::OnProgress(const RunProgress& event) {
  pending_ = TConversionWorker::ProgressPosition(event);
  has_pending_ = true;
  if (clock_.elapsed() >= TConversionWorker::kProgressIntervalMs) Flush();
}

bool TWorkerObserver::StopRequested() {
  return stop_.load(std::memory_order_relaxed);
}

void TWorkerObserver::Flush() {
  if (!has_pending_) return;
  has_pending_ = false;
  if (pending_ != last_sent_) {
    emit worker_.Progress(pending_);
    last_sent_ = pending_;
  }
  clock_.restart();
}

int TConversionWorker::ProgressPosition(const RunProgress& progress) {
  if (progress.bytes_to_read == 0) return 0;
  const uint64_t done = std::min(progress.bytes_done, progress.bytes_to_read);
  return static_cast<int>(static_cast<double>(done) / progress.bytes_to_read * kProgressMaximum);
}

TConversionWorker::TConversionWorker(QObject* parent) : QObject(parent) {
  qRegisterMetaType<ConversionOutcome>();
}

TConversionWorker::~TConversionWorker() {
  if (thread_) {
    RequestStop();
    thread_->wait();
    delete thread_;
  }
}

bool TConversionWorker::Start(const ConversionSettings& settings) {
  if (IsRunning()) return false;
  if (thread_) {
    thread_->wait();
    delete thread_;
    thread_ = nullptr;
  }
  stop_ = false;
  thread_ = QThread::create([this, settings] { Run(settings); });
  thread_->setObjectName(QStringLiteral("conversion"));
  thread_->start();
  return true;
}

bool TConversionWorker::IsRunning() const {
  return thread_ && !thread_->isFinished();
}

void TConversionWorker::RequestStop() {
  stop_ = true;
}

void TConversionWorker::Wait() {
  if (thread_) thread_->wait();
}

void TConversionWorker::Run(ConversionSettings settings) {
  TWorkerObserver observer(*this, stop_);
  ConversionOutcome outcome;
  try {
    const RunResult result = RunConversion(settings, observer);
    outcome.problem = result.problem;
    outcome.problem_folder = QString::fromStdString(result.problem_folder);
    outcome.problem_message = result.problem_message;
    outcome.output_folder = QFile::decodeName(QByteArray::fromStdString(result.output_folder));
  } catch (const ConversionCancelled&) {
    outcome.stopped = true;
  } catch (const ConversionError& e) {
    outcome.failed = true;
    outcome.error_text = QString::fromStdString(DescribeError(e));
  } catch (const std::exception& e) {
    outcome.failed = true;
    outcome.error_text = QString::fromStdString(WithFinalPeriod(e.what()));
  }
  observer.Flush();  // the final position, also when the run failed
  outcome.warnings = observer.warnings();
  emit Finished(outcome);
}

}  // namespace pelmora::gui
