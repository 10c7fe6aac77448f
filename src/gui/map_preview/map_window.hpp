#pragma once
// The window "地図プレビュー": the selected groups of the registered folders
// drawn as a map, read through the conversion engine on a worker thread. A
// layer list grouped by the nine layer groups, with check boxes and colour
// swatches, a layer higher in the list drawn above one lower; the map; the
// clicked feature's attributes; and in the status bar the cursor's plane
// coordinates with the zone, the areas of another zone, the progress of the
// read and its stop button.
#include <QMainWindow>
#include <memory>
#include <set>
#include <string>

#include "core/conversion/settings.hpp"
#include "map_scene.hpp"

class QLabel;
class QMenuBar;
class QProgressBar;
class QPushButton;
class QStackedWidget;
class QTableWidget;
class QTreeWidget;
class QTreeWidgetItem;

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
  // The groups, top-level, drawn last first; under each its layers.
  QTreeWidget* layerList() const { return layers_; }
  // The list's item of a layer of the scene (an index into its layers).
  QTreeWidgetItem* LayerItem(int layer) const;
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
  void OnLayerTicked(QTreeWidgetItem* item);
  void KeepHiddenLayers(render::MapScene& scene) const;
  void ShowFeature(render::FeatureRef ref);
  void ShowPosition(double x, double y);
  void ShowZoneNote();
  void SetLoading(bool loading);

  TMapLoadWorker* worker_;
  TMapCanvas* canvas_;
  QStackedWidget* stack_;
  QLabel* message_;
  QTreeWidget* layers_;
  QLabel* feature_caption_;
  QTableWidget* attributes_;
  QLabel* position_;
  QLabel* zone_note_;
  QProgressBar* progress_;
  QPushButton* stop_;
  QString zone_;
  // The layers the user hid, by name: a map read again hides them too.
  std::set<std::string> hidden_;
};

// Adds the menu "表示(V)" with "地図プレビュー..." to the main window's menu
// bar; the item opens (or raises) the preview of the window's settings.
QMenu* AddMapPreviewMenu(TfrmMain& window, QMenuBar* bar);

}  // namespace pelmora::gui
