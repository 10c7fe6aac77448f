#pragma once
// Reads the map of a preview on the conversion runner's worker thread: the
// conversion engine into memory, then the drawing index. Progress and the
// end come to the user-interface thread as queued signals; a stop request
// ends the read between records.
#include <QObject>
#include <QString>
#include <memory>

#include "conversion_runner.hpp"
#include "core/conversion/settings.hpp"
#include "map_scene.hpp"

namespace pelmora::gui {

class TMapLoadWorker : public QObject, private window::TRunEvents {
  Q_OBJECT
 public:
  explicit TMapLoadWorker(QObject* parent = nullptr);
  ~TMapLoadWorker() override;  // stops a read still going and waits for it

  // Starts reading on a new thread; false while a read is still going.
  bool Start(const ConversionSettings& settings);
  bool IsRunning() const { return runner_.IsRunning(); }
  void RequestStop() { runner_.RequestStop(); }

  static constexpr int kProgressMaximum = window::kProgressMaximum;

 signals:
  void Progress(int position);
  // The map is read; the scene belongs to the receiver.
  void Loaded(std::shared_ptr<pelmora::render::MapScene> scene);
  // The read ended without a map: the text says why (the conversion's error
  // message, a settings problem, or the stop).
  void Failed(const QString& text, bool stopped);

 private:
  // window::TRunEvents, on the worker thread; the signals queue to the
  // receivers' thread.
  void OnRunLog(const std::string&, bool) override {}
  void OnRunProgressRange(int) override {}
  void OnRunProgress(int position) override { emit Progress(position); }
  void OnRunEnded(const window::RunEnd& end) override;

  std::shared_ptr<render::MapScene> scene_;  // of the read going on, on its thread
  window::TConversionRunner runner_{*this};
};

}  // namespace pelmora::gui
