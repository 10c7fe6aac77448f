#pragma once
// The map of the preview: draws a scene, pans by dragging, zooms with the
// wheel around the cursor and with the + and - keys, and reports the cursor's
// plane position and the feature clicked.
#include <QPoint>
#include <QWidget>
#include <memory>

#include "map_scene.hpp"
#include "view_transform.hpp"

namespace pelmora::gui {

class TMapCanvas : public QWidget {
  Q_OBJECT
 public:
  explicit TMapCanvas(QWidget* parent = nullptr);
  ~TMapCanvas() override;

  void SetScene(std::shared_ptr<render::MapScene> scene);
  render::MapScene* scene() const { return scene_.get(); }
  const render::ViewTransform& view() const { return view_; }
  render::FeatureRef Highlighted() const { return highlight_; }
  void SetHighlighted(render::FeatureRef ref);
  void SetLayerVisible(int layer, bool visible);

  void FitAll();  // "全体表示"
  void ZoomBy(double factor);

 signals:
  void CursorMoved(double x, double y);
  void FeatureClicked(pelmora::render::FeatureRef ref);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void wheelEvent(QWheelEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;

 private:
  void ListenToTiles(bool listen);

  std::shared_ptr<render::MapScene> scene_;
  render::ViewTransform view_;
  render::FeatureRef highlight_;
  QPoint press_, last_;
  bool dragging_ = false, pressed_ = false;
};

}  // namespace pelmora::gui
