#pragma once
// Reads the map of a preview on a worker thread: the conversion engine into
// memory, then the drawing index. Progress and the end come to the
// user-interface thread as queued signals; a stop request ends the read
// between records.
#include <QObject>
#include <QString>
#include <atomic>
#include <memory>

#include "core/conversion/settings.hpp"
#include "map_scene.hpp"

class QThread;

namespace pelmora::gui {

class TMapLoadWorker : public QObject {
  Q_OBJECT
 public:
  explicit TMapLoadWorker(QObject* parent = nullptr);
  ~TMapLoadWorker() override;  // stops a read still going and waits for it

  // Starts reading on a new thread; false while a read is still going.
  bool Start(const ConversionSettings& settings);
  bool IsRunning() const;
  void RequestStop() { stop_ = true; }

  static constexpr int kProgressMaximum = 1000;

 signals:
  void Progress(int position);
  // The map is read; the scene belongs to the receiver.
  void Loaded(std::shared_ptr<pelmora::render::MapScene> scene);
  // The read ended without a map: the text says why (the conversion's error
  // message, a settings problem, or the stop).
  void Failed(const QString& text, bool stopped);

 private:
  void Run(ConversionSettings settings);

  QThread* thread_ = nullptr;
  std::atomic<bool> stop_{false};
};

}  // namespace pelmora::gui
