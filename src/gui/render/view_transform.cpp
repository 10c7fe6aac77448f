#include "view_transform.hpp"

#include <algorithm>

namespace pelmora::render {
namespace {

// Scales beyond these say nothing more and only risk overflowing the
// painter's integer coordinates.
constexpr double kMinScale = 1e-6, kMaxScale = 1e3;

}  // namespace

Box ViewTransform::Visible() const {
  TSFPoint top_left = ToPlane({0, 0});
  TSFPoint bottom_right = ToPlane(QPointF(size_.width(), size_.height()));
  return {top_left.X, bottom_right.Y, bottom_right.X, top_left.Y};
}

void ViewTransform::Fit(const Box& box) {
  if (box.Empty()) return;
  constexpr double kMargin = 8;
  // A view too low for the strip fits the box with the plain margin.
  double bottom = size_.height() > 4 * kScaleBarRoom ? kScaleBarRoom : kMargin;
  double width = std::max(box.max_x - box.min_x, 1.0);
  double height = std::max(box.max_y - box.min_y, 1.0);
  double room_x = std::max(size_.width() - 2 * kMargin, 1.0);
  double room_y = std::max(size_.height() - kMargin - bottom, 1.0);
  scale_ = std::clamp(std::min(room_x / width, room_y / height), kMinScale, kMaxScale);
  center_x_ = (box.min_x + box.max_x) / 2;
  // The box's centre goes to the middle of the room above the strip.
  center_y_ = (box.min_y + box.max_y) / 2 - (bottom - kMargin) / 2 / scale_;
}

void ViewTransform::ZoomAt(QPointF pixel, double factor) {
  TSFPoint anchor = ToPlane(pixel);
  scale_ = std::clamp(scale_ * factor, kMinScale, kMaxScale);
  TSFPoint moved = ToPlane(pixel);
  center_x_ += anchor.X - moved.X;
  center_y_ += anchor.Y - moved.Y;
}

void ViewTransform::PanBy(QPointF delta) {
  center_x_ -= delta.x() / scale_;
  center_y_ += delta.y() / scale_;
}

}  // namespace pelmora::render
