#pragma once
// The window "地図プレビュー": the selected groups of the registered folders
// drawn as a map, read through the conversion engine on a worker thread. A
// layer list with check boxes and colour swatches, the map, the clicked
// feature's attributes, and in the status bar the cursor's plane
// coordinates with the zone, the areas of another zone, the progress of the
// read and its stop button.
#include <QMainWindow>
#include <memory>

#include "core/conversion/settings.hpp"
#include "map_scene.hpp"

class QLabel;
class QListWidget;
class QMenuBar;
class QProgressBar;
class QPushButton;
class QStackedWidget;
class QTableWidget;

namespace pelmora::gui {

class TfrmMain;
class TMapCanvas;
class TMapLoadWorker;

class TMapWindow : public QMainWindow {
  Q_OBJECT
 public:
  explicit TMapWindow(QWidget* parent = nullptr);
  ~TMapWindow() override;

  // Reads the map of settings' folders and ticked groups, replacing what the
  // window shows.
  void Load(const ConversionSettings& settings);
  bool IsLoading() const;
  // Shows a map that has been read (the end of Load).
  void ShowMap(std::shared_ptr<render::MapScene> scene);

  TMapCanvas* canvas() const { return canvas_; }
  QListWidget* layerList() const { return layers_; }
  QTableWidget* attributes() const { return attributes_; }
  QLabel* message() const { return message_; }
  QLabel* position() const { return position_; }
  QLabel* zoneNote() const { return zone_note_; }
  QPushButton* stopButton() const { return stop_; }

 signals:
  void LoadEnded();  // the map is shown, or the reason why not

 private:
  void OnFailed(const QString& text, bool stopped);
  void ShowMessage(const QString& text);
  void FillLayerList();
  void ShowFeature(render::FeatureRef ref);
  void ShowPosition(double x, double y);
  void ShowZoneNote();
  void SetLoading(bool loading);

  TMapLoadWorker* worker_;
  TMapCanvas* canvas_;
  QStackedWidget* stack_;
  QLabel* message_;
  QListWidget* layers_;
  QLabel* feature_caption_;
  QTableWidget* attributes_;
  QLabel* position_;
  QLabel* zone_note_;
  QProgressBar* progress_;
  QPushButton* stop_;
  QString zone_;
};

// Adds the menu "表示(V)" with "地図プレビュー..." to the main window's menu
// bar; the item opens (or raises) the preview of the window's settings.
QMenu* AddMapPreviewMenu(TfrmMain& window, QMenuBar* bar);

}  // namespace pelmora::gui
