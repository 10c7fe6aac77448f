#pragma once
// Runs pelmora::RunConversion on a worker thread and hands what its observer
// reports to the user-interface thread as queued signals. Log lines pass one
// by one; the progress of the whole run is a position from 0 to
// kProgressMaximum, thinned to a few dozen per second, and the last position
// before a log line or the end of the run is always delivered.
#include <QElapsedTimer>
#include <QObject>
#include <QString>
#include <atomic>
#include <memory>

#include "core/conversion/observer.hpp"
#include "core/conversion/settings.hpp"

class QThread;

namespace pelmora::gui {

struct ConversionOutcome {
  SettingsProblem problem = SettingsProblem::kNone;  // the run's own checks
  QString output_folder;                             // as amended by the checks
  QString problem_folder;                            // the map-data folder at fault
  std::string problem_message;                       // the warning to show
  bool failed = false;                               // an error ended the run
  bool stopped = false;                              // RequestStop ended the run
  QString error_text;                                // DescribeError of that error
  int warnings = 0;                                  // warnings the run reported
};

class TConversionWorker : public QObject {
  Q_OBJECT
 public:
  explicit TConversionWorker(QObject* parent = nullptr);
  ~TConversionWorker() override;  // stops a run still going and waits for it

  // Starts a run on a new thread; false when one is still running.
  bool Start(const ConversionSettings& settings);
  bool IsRunning() const;
  // Asks the run to stop between records; it then ends as stopped, leaving
  // the files a Ctrl-C of pelmora-convert leaves.
  void RequestStop();
  // Blocks until the thread has ended.
  void Wait();

  // Minimum time between two progress signals, in milliseconds.
  static constexpr int kProgressIntervalMs = 30;
  // The progress bar's range for a whole run, and the position of a report.
  static constexpr int kProgressMaximum = 1000;
  static int ProgressPosition(const RunProgress& progress);

 signals:
  void Log(const QString& line);
  // A warning's log line, which the window sets apart from the others.
  void WarningLog(const QString& line);
  void ProgressRange(int maximum);
  void Progress(int position);
  // The run has ended; the thread is ending too.
  void Finished(const pelmora::gui::ConversionOutcome& outcome);

 private:
  void Run(ConversionSettings settings);

  QThread* thread_ = nullptr;
  std::atomic<bool> stop_{false};
};

// The observer on the worker thread: forwards what the run reports to the
// worker's signals (queued to the user-interface thread), thinning the
// progress positions.
class TWorkerObserver : public LogLineObserver {
 public:
  TWorkerObserver(TConversionWorker& worker, std::atomic<bool>& stop);

  void OnLog(std::string_view line) override;
  void OnRunStarted(const RunStarted& event) override;
  void OnProgress(const RunProgress& event) override;
  void OnWarning(const Warning& event) override;
  int warnings() const { return warnings_; }
  bool StopRequested() override;

  // Delivers the last position not yet sent.
  void Flush();

 private:
  TConversionWorker& worker_;
  std::atomic<bool>& stop_;
  QElapsedTimer clock_;
  int pending_ = 0;
  int last_sent_ = 0;
  bool has_pending_ = false;
  int warnings_ = 0;
};

}  // namespace pelmora::gui

Q_DECLARE_METATYPE(pelmora::gui::ConversionOutcome)
