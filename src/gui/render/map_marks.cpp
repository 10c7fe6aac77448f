#include "map_marks.hpp"

#include <QFontMetricsF>
#include <algorithm>
#include <cmath>

#include "core/text/cp932.hpp"

namespace pelmora::render {
namespace {

// Full-sized symbols from this scale on: a sheet of 2 km across 1000 pixels.
constexpr double kFullSymbolPixelsPerMetre = 0.5;
// The smallest symbols still tell a station (a square of 3 pixels) from a
// control point.
constexpr double kSmallestSymbol = 0.375;

constexpr QColor kSheetNumberColour(200, 0, 120);

QFont SheetNumberFont(const QPainter& painter) {
  QFont font = painter.font();
  font.setPixelSize(13);
  font.setBold(true);
  return font;
}

}  // namespace

double SymbolScale(double pixels_per_metre) {
  if (!(pixels_per_metre > 0)) return kSmallestSymbol;
  // The square root shrinks them gently: at a tenth of the scale they are
  // about a third of their size.
  double scale = std::sqrt(pixels_per_metre / kFullSymbolPixelsPerMetre);
  return std::clamp(scale, kSmallestSymbol, 1.0);
}

void DrawSymbol(QPainter& painter, Symbol symbol, QPointF at, double scale) {
  painter.setPen(QPen(Qt::black, 1));
  if (symbol == Symbol::kStation) {
    double half = 4 * scale;
    painter.setBrush(QColor(220, 40, 40));
    painter.drawRect(QRectF(at.x() - half, at.y() - half, 2 * half, 2 * half));
    return;
  }
  painter.setBrush(Qt::white);
  painter.drawPolygon(QPolygonF(
      {at + QPointF(0, -6) * scale, at + QPointF(5, 3) * scale, at + QPointF(-5, 3) * scale}));
  if (scale < 0.6) return;  // the centre dot would fill a small triangle
  painter.setBrush(Qt::black);
  painter.drawEllipse(at + QPointF(0, -0.5) * scale, 1.2 * scale, 1.2 * scale);
}

std::vector<std::optional<QRectF>> PlaceLabels(const std::vector<LabelRequest>& requests,
                                               const QRectF& view) {
  std::vector<std::optional<QRectF>> placed(requests.size());
  std::vector<QRectF> taken;
  for (size_t i = 0; i < requests.size(); ++i) {
    QRectF room = requests[i].frame.normalized().intersected(view);
    QSizeF size = requests[i].size;
    if (room.width() < size.width() || room.height() < size.height()) continue;
    QRectF label(QPointF(0, 0), size);
    label.moveCenter(room.center());
    bool free = std::none_of(taken.begin(), taken.end(),
                             [&label](const QRectF& other) { return other.intersects(label); });
    if (!free) continue;
    taken.push_back(label);
    placed[i] = label;
  }
  return placed;
}

void DrawSheetNumbers(QPainter& painter, const SceneLayer& layer,
                      const std::vector<int32_t>& features, const ViewTransform& view) {
  if (features.empty()) return;
  painter.save();
  QFont font = SheetNumberFont(painter);
  painter.setFont(font);
  QFontMetricsF metrics(font);
  std::vector<LabelRequest> requests;
  std::vector<QString> texts;
  for (int32_t f : features) {
    if (layer.data.ValueCount(f) == 0) continue;
    const Box& box = layer.boxes[f];
    QString text = QString::fromStdString(Cp932ToUtf8Lossy(layer.data.Value(f, 0)));
    QRectF frame(view.ToScreen(box.min_x, box.max_y), view.ToScreen(box.max_x, box.min_y));
    requests.push_back({frame, QSizeF(metrics.horizontalAdvance(text) + 6, metrics.height() + 2)});
    texts.push_back(std::move(text));
  }
  QRectF whole(QPointF(0, 0), QSizeF(view.size()));
  std::vector<std::optional<QRectF>> placed = PlaceLabels(requests, whole);
  painter.setPen(kSheetNumberColour);
  for (size_t i = 0; i < placed.size(); ++i)
    if (placed[i]) painter.drawText(*placed[i], Qt::AlignCenter, texts[i]);
  painter.restore();
}

}  // namespace pelmora::render
