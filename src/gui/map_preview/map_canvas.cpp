#include "map_canvas.hpp"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QWheelEvent>

#include "hit_test.hpp"
#include "map_painter.hpp"
#include "tile_cache.hpp"

namespace pelmora::gui {
namespace {

constexpr double kKeyZoom = 1.5;
constexpr int kDragThreshold = 3;  // pixels moved before a press is a drag

}  // namespace

TMapCanvas::TMapCanvas(QWidget* parent) : QWidget(parent) {
  setObjectName(QStringLiteral("MapCanvas"));
  setMouseTracking(true);
  setFocusPolicy(Qt::StrongFocus);
  setMinimumSize(200, 150);
  setAttribute(Qt::WA_OpaquePaintEvent);
}

TMapCanvas::~TMapCanvas() {
  ListenToTiles(false);
}

// Tiles are drawn on worker threads; each one ready repaints the map on this
// thread. The callback is removed before the canvas or its scene goes.
void TMapCanvas::ListenToTiles(bool listen) {
  render::TileCache* tiles = scene_ ? scene_->Tiles() : nullptr;
  if (!tiles) return;
  if (!listen) {
    tiles->SetOnTileReady(nullptr);
    return;
  }
  // By name: the queued call is made by Qt alone, with nothing of the
  // program's handed across the threads.
  tiles->SetOnTileReady(
      [this] { QMetaObject::invokeMethod(this, "update", Qt::QueuedConnection); });
}

void TMapCanvas::SetScene(std::shared_ptr<render::MapScene> scene) {
  ListenToTiles(false);
  scene_ = std::move(scene);
  ListenToTiles(true);
  highlight_ = {};
  FitAll();
}

void TMapCanvas::SetHighlighted(render::FeatureRef ref) {
  highlight_ = ref;
  update();
}

void TMapCanvas::SetLayerVisible(int layer, bool visible) {
  if (!scene_) return;
  scene_->SetVisible(layer, visible);
  if (highlight_.layer == layer && !visible) highlight_ = {};
  update();
}

void TMapCanvas::FitAll() {
  view_.SetSize(size());
  if (scene_) view_.Fit(scene_->Extent());
  update();
}

void TMapCanvas::ZoomBy(double factor) {
  view_.ZoomAt(QPointF(width() / 2.0, height() / 2.0), factor);
  update();
}

void TMapCanvas::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  if (!scene_) {
    painter.fillRect(rect(), Qt::white);
    return;
  }
  if (render::TileCache* tiles = scene_->Tiles()) tiles->SetPixelRatio(devicePixelRatioF());
  render::DrawView(painter, *scene_, view_, highlight_);
}

// The centre stays where it is; the scale is kept.
void TMapCanvas::resizeEvent(QResizeEvent*) {
  bool first = view_.size().width() <= 1;
  view_.SetSize(size());
  if (first) FitAll();
}

void TMapCanvas::mousePressEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) return;
  press_ = last_ = event->position().toPoint();
  pressed_ = true;
  dragging_ = false;
}

void TMapCanvas::mouseMoveEvent(QMouseEvent* event) {
  QPoint at = event->position().toPoint();
  TSFPoint plane = view_.ToPlane(at);
  emit CursorMoved(plane.X, plane.Y);
  if (!pressed_) return;
  if (!dragging_ && (at - press_).manhattanLength() < kDragThreshold) return;
  dragging_ = true;
  view_.PanBy(at - last_);
  last_ = at;
  update();
}

void TMapCanvas::mouseReleaseEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton || !pressed_) return;
  pressed_ = false;
  if (dragging_ || !scene_) return;
  TSFPoint plane = view_.ToPlane(event->position());
  double tolerance = render::kClickTolerancePixels / view_.PixelsPerMetre();
  highlight_ = scene_->FeatureAt(plane, tolerance);
  update();
  emit FeatureClicked(highlight_);
}

void TMapCanvas::wheelEvent(QWheelEvent* event) {
  double steps = event->angleDelta().y() / 120.0;
  if (steps == 0) return;
  view_.ZoomAt(event->position(), std::pow(1.25, steps));
  update();
}

void TMapCanvas::keyPressEvent(QKeyEvent* event) {
  switch (event->key()) {
    case Qt::Key_Plus:
    case Qt::Key_Equal:
      ZoomBy(kKeyZoom);
      break;
    case Qt::Key_Minus:
      ZoomBy(1 / kKeyZoom);
      break;
    default:
      QWidget::keyPressEvent(event);
  }
}

}  // namespace pelmora::gui
