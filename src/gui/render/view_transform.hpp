#pragma once
// The mapping between plane coordinates (X east, Y north, metres) and the
// pixels of a view (x right, y down): a centre, a scale and the view's size.
#include <QPointF>
#include <QSize>

#include "map_scene.hpp"

namespace pelmora::render {

// The strip at the bottom of a view that the scale bar takes and that
// fitting keeps free, so that the bar never covers the map's lower edge.
inline constexpr double kScaleBarRoom = 40;

class ViewTransform {
 public:
  QSize size() const { return size_; }
  void SetSize(QSize size) { size_ = size; }
  // Puts the plane point (x, y) in the middle of the view at that scale.
  void SetCentre(double x, double y, double pixels_per_metre) {
    center_x_ = x;
    center_y_ = y;
    scale_ = pixels_per_metre;
  }
  double PixelsPerMetre() const { return scale_; }

  QPointF ToScreen(double x, double y) const {
    return {size_.width() / 2.0 + (x - center_x_) * scale_,
            size_.height() / 2.0 - (y - center_y_) * scale_};
  }
  TSFPoint ToPlane(QPointF pixel) const {
    return {center_x_ + (pixel.x() - size_.width() / 2.0) / scale_,
            center_y_ - (pixel.y() - size_.height() / 2.0) / scale_};
  }
  // The plane area the view shows.
  Box Visible() const;

  // Shows box whole, centred, with a margin of a few pixels and the scale
  // bar's strip free below it.
  void Fit(const Box& box);
  // Zooms by factor keeping the plane point under pixel where it is.
  void ZoomAt(QPointF pixel, double factor);
  // Moves the map by delta pixels.
  void PanBy(QPointF delta);

 private:
  QSize size_{1, 1};
  double center_x_ = 0, center_y_ = 0;
  double scale_ = 1;  // pixels per metre
};

}  // namespace pelmora::render
