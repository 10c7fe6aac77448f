#pragma once
// The marks of a map that keep their size on the screen: the symbols of
// stations and control points, which shrink at overview scales so that they
// do not cover the map, and the sheet numbers, each placed inside the part of
// its frame in view where it overlaps no other.
#include <QPainter>
#include <QRectF>
#include <optional>
#include <vector>

#include "map_scene.hpp"
#include "view_transform.hpp"

namespace pelmora::render {

// How large symbols are drawn at that scale, from about a third (a city seen
// whole) to 1 (a sheet across the window and closer).
double SymbolScale(double pixels_per_metre);

// A station's square or a control point's triangle centred on at.
void DrawSymbol(QPainter& painter, Symbol symbol, QPointF at, double scale);

struct LabelRequest {
  QRectF frame;  // the frame on the screen
  QSizeF size;   // of the label's box
};

// Where each label goes, in the order asked: in the middle of the part of
// its frame that the view shows, or nowhere when that part cannot hold it
// or the label would overlap one placed before.
std::vector<std::optional<QRectF>> PlaceLabels(const std::vector<LabelRequest>& requests,
                                               const QRectF& view);

// The sheet numbers (the first value) of the frames of a layer, placed by
// PlaceLabels.
void DrawSheetNumbers(QPainter& painter, const SceneLayer& layer,
                      const std::vector<int32_t>& features, const ViewTransform& view);

}  // namespace pelmora::render
