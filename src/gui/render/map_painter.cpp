#include "map_painter.hpp"

#include <QPainterPath>
#include <algorithm>
#include <cmath>
#include <thread>

#include "map_marks.hpp"
#include "tile_cache.hpp"

namespace pelmora::render {
namespace {

// The screen vertices of one part, leaving out vertices within a fraction of
// a pixel of the one kept before them: what cannot be seen is not drawn.
QPolygonF ScreenPart(ShapeView shape, size_t first, size_t last, const ViewTransform& view) {
  QPolygonF part;
  part.reserve(static_cast<qsizetype>(last - first));
  for (size_t i = first; i < last; ++i) {
    QPointF p = view.ToScreen(shape.points[i].X, shape.points[i].Y);
    if (!part.isEmpty() && i + 1 < last && std::abs(p.x() - part.back().x()) < 0.7 &&
        std::abs(p.y() - part.back().y()) < 0.7)
      continue;
    part.append(p);
  }
  return part;
}

// The feature as a path of its parts; a polygon's parts are closed and
// filled with the odd-even rule, so that holes stay open.
QPainterPath ScreenPath(ShapeView shape, bool closed, const ViewTransform& view) {
  QPainterPath path;
  path.setFillRule(Qt::OddEvenFill);
  size_t parts = shape.parts.empty() ? 1 : shape.parts.size();
  for (size_t i = 0; i < parts; ++i) {
    size_t n = shape.points.size();
    size_t first = shape.parts.empty() ? 0 : std::min<size_t>(std::max(shape.parts[i], 0), n);
    size_t last = i + 1 < parts ? std::min<size_t>(std::max(shape.parts[i + 1], 0), n) : n;
    if (last <= first) continue;
    path.addPolygon(ScreenPart(shape, first, last, view));
    if (closed) path.closeSubpath();
  }
  return path;
}

// Above this many features in view the map is drawn as an overview: without
// antialiasing and with thin solid pens, several times quicker, so that a
// view of the whole city still pans and zooms smoothly.
constexpr size_t kOverviewFeatures = 5000;
// The pixels of a window's view, for counting the features one would hold.
constexpr double kWindowPixels = 1280.0 * 800.0;

// A single-part shape goes straight to the painter as a polygon or a
// polyline; only shapes of several parts (holes) need a path.
void DrawShape(QPainter& painter, ShapeView shape, bool polygon, const ViewTransform& view) {
  if (shape.parts.size() > 1) {
    painter.drawPath(ScreenPath(shape, polygon, view));
    return;
  }
  size_t n = shape.points.size();
  size_t first = shape.parts.empty() ? 0 : std::min<size_t>(std::max(shape.parts[0], 0), n);
  QPolygonF part = ScreenPart(shape, first, n, view);
  if (polygon)
    painter.drawPolygon(part, Qt::OddEvenFill);
  else
    painter.drawPolyline(part);
}

// The features of a layer by their size on the screen.
struct SizedFeatures {
  QPolygonF dots;               // one point each
  std::vector<int32_t> fills;   // filled areas drawn without their outline
  std::vector<int32_t> shapes;  // drawn whole
};

// A feature smaller than a pixel is a dot. In an overview so is one of under
// two pixels (a building of a pixel or two shows no shape, and drawing it as
// one costs as much as a large one), and a small filled area is drawn
// without its outline, which at that size only darkens its fill and costs
// as much again; its neighbours' edges and the arc layers still show.
SizedFeatures BySize(const SceneLayer& layer, const std::vector<int32_t>& features,
                     const ViewTransform& view, bool overview, bool filled) {
  constexpr double kOutlinedPixels = 8;
  double dot = overview ? 2 : 1;
  double outlined = overview && filled ? kOutlinedPixels : 0;
  SizedFeatures sized;
  for (int32_t f : features) {
    const Box& box = layer.boxes[f];
    QPointF low = view.ToScreen(box.min_x, box.min_y), high = view.ToScreen(box.max_x, box.max_y);
    double width = std::abs(high.x() - low.x()), height = std::abs(high.y() - low.y());
    if (width < dot && height < dot)
      sized.dots.append(low);
    else if (width < outlined && height < outlined)
      sized.fills.push_back(f);
    else
      sized.shapes.push_back(f);
  }
  return sized;
}

// The features of a layer with the layer's pen and brush set once; the
// dots of the layer drawn at once: this is what keeps a view of the whole
// city quick.
void DrawLayer(QPainter& painter, const SceneLayer& layer, const std::vector<int32_t>& features,
               const ViewTransform& view, bool overview, bool labels) {
  LayerStyle style = layer.style;
  if (overview) {
    // Thin pens take the painter's quick path; joins and dashes are not
    // seen at this density anyway.
    style.pen.setWidthF(std::min(style.pen.widthF(), 1.0));
    style.pen.setStyle(Qt::SolidLine);
    style.overlay = Qt::NoPen;
  }
  if (style.symbol != Symbol::kNone) {
    double scale = SymbolScale(view.PixelsPerMetre());
    for (int32_t f : features)
      DrawSymbol(painter, style.symbol, view.ToScreen(layer.boxes[f].min_x, layer.boxes[f].min_y),
                 scale);
    return;
  }
  bool polygon = layer.data.kind == GeometryKind::kPolygon;
  bool filled = polygon && style.brush.style() != Qt::NoBrush;
  SizedFeatures sized = BySize(layer, features, view, overview, filled);
  painter.setPen(Qt::NoPen);
  painter.setBrush(polygon ? style.brush : Qt::NoBrush);
  for (int32_t f : sized.fills) DrawShape(painter, layer.data.Geometry(f), true, view);
  painter.setPen(style.pen);
  for (int32_t f : sized.shapes) DrawShape(painter, layer.data.Geometry(f), polygon, view);
  painter.drawPoints(sized.dots);
  if (style.overlay.style() != Qt::NoPen) {
    painter.setPen(style.overlay);
    painter.setBrush(Qt::NoBrush);
    for (int32_t f : sized.shapes) DrawShape(painter, layer.data.Geometry(f), false, view);
  }
  if (style.label_sheet && labels) DrawSheetNumbers(painter, layer, sized.shapes, view);
}

// Below this many features a map is drawn quickly enough directly; above
// it, it is drawn from tiles.
constexpr size_t kTiledMinFeatures = 50000;

void DrawHighlight(QPainter& painter, const MapScene& scene, FeatureRef ref,
                   const ViewTransform& view) {
  const SceneLayer& layer = scene.layers()[ref.layer];
  ShapeView shape = layer.data.Geometry(ref.feature);
  QPen pen(QColor(255, 140, 0), 3);
  pen.setJoinStyle(Qt::RoundJoin);
  painter.setPen(pen);
  if (layer.data.kind == GeometryKind::kPoint || shape.points.size() == 1) {
    painter.setBrush(Qt::NoBrush);
    QPointF at = view.ToScreen(shape.points[0].X, shape.points[0].Y);
    painter.drawEllipse(at, 9, 9);
    return;
  }
  bool polygon = layer.data.kind == GeometryKind::kPolygon;
  painter.setBrush(polygon ? QBrush(QColor(255, 200, 0, 110)) : Qt::NoBrush);
  painter.drawPath(ScreenPath(shape, polygon, view));
}

// An area of another zone: a red hatched frame over its data, which stays
// visible through it, and a label that says why.
void DrawFlaggedArea(QPainter& painter, const FlaggedArea& area, const ViewTransform& view) {
  QRectF frame(view.ToScreen(area.box.min_x, area.box.max_y),
               view.ToScreen(area.box.max_x, area.box.min_y));
  frame = frame.normalized().adjusted(-2, -2, 2, 2);
  painter.setPen(QPen(QColor(220, 0, 0), 2, Qt::DashLine));
  painter.setBrush(QBrush(QColor(220, 0, 0, 150), Qt::BDiagPattern));
  painter.drawRect(frame);
  QString text = QString::fromStdString(area.name) + QStringLiteral(": ") + kZoneMismatchLabel;
  QFont font = painter.font();
  font.setPixelSize(12);
  font.setBold(true);
  painter.setFont(font);
  QRectF label = painter.fontMetrics().boundingRect(text).adjusted(-4, -2, 4, 2);
  label.moveTopLeft(frame.topLeft() + QPointF(4, 4));
  painter.setPen(QPen(QColor(220, 0, 0), 1));
  painter.setBrush(QColor(255, 255, 255, 230));
  painter.drawRect(label);
  painter.drawText(label, Qt::AlignCenter, text);
}

}  // namespace

const QString kZoneMismatchLabel = QStringLiteral("座標系が異なります");

namespace {

// The visible layers' features in view, drawn as an overview when there are
// many of them.
void DrawLayers(QPainter& painter, const MapScene& scene, const ViewTransform& view) {
  Box visible = view.Visible();
  std::vector<std::vector<int32_t>> shown(scene.layers().size());
  size_t count = 0;
  for (size_t l = 0; l < scene.layers().size(); ++l) {
    if (!scene.layers()[l].visible) continue;
    shown[l] = scene.FeaturesIn(static_cast<int>(l), visible);
    count += shown[l].size();
  }
  bool overview = count > kOverviewFeatures;
  painter.setRenderHint(QPainter::Antialiasing, !overview);
  for (size_t l = 0; l < scene.layers().size(); ++l)
    if (!shown[l].empty()) DrawLayer(painter, scene.layers()[l], shown[l], view, overview, true);
}

}  // namespace

void DrawTileContent(QPainter& painter, const MapScene& scene, const ViewTransform& view,
                     const std::vector<char>& visible) {
  // Each level is drawn as a view of a window's size there would be: as an
  // overview when such a view holds many features, so that neighbouring
  // tiles always look alike.
  const Box& extent = scene.Extent();
  double ppm = view.PixelsPerMetre();
  double map_pixels = std::max(extent.max_x - extent.min_x, 1.0) * ppm *
                      std::max(extent.max_y - extent.min_y, 1.0) * ppm;
  double per_view = scene.FeatureCount() * std::min(1.0, kWindowPixels / map_pixels);
  bool overview = per_view > kOverviewFeatures;
  painter.setRenderHint(QPainter::Antialiasing, !overview);
  // Pens and symbols reach a few pixels beyond a feature's box; a symbol
  // over a tile's edge is drawn in both tiles, each showing its half.
  Box area = view.Visible();
  double margin = 8 / ppm;
  area = {area.min_x - margin, area.min_y - margin, area.max_x + margin, area.max_y + margin};
  for (size_t l = 0; l < scene.layers().size(); ++l) {
    const SceneLayer& layer = scene.layers()[l];
    if (l < visible.size() && visible[l])
      DrawLayer(painter, layer, scene.FeaturesIn(static_cast<int>(l), area), view, overview, false);
  }
}

void BuildOverview(MapScene& scene) {
  scene.SetTiles(nullptr);
  if (scene.FeatureCount() < kTiledMinFeatures || scene.Extent().Empty()) return;
  const MapScene* drawn = &scene;
  auto drawer = [drawn](QPainter& painter, const ViewTransform& view,
                        const std::vector<char>& visible) {
    DrawTileContent(painter, *drawn, view, visible);
  };
  int threads = static_cast<int>(std::max(1u, std::thread::hardware_concurrency()));
  auto tiles =
      std::make_unique<TileCache>(TileGrid(scene.Extent()), drawer, scene.VisibleLayers(), threads);
  tiles->RenderLevel(0);
  scene.SetTiles(std::move(tiles));
}

bool DrawMap(QPainter& painter, const MapScene& scene, const ViewTransform& view,
             FeatureRef highlight) {
  Box visible = view.Visible();
  bool complete = true;
  if (TileCache* tiles = scene.Tiles()) {
    complete = tiles->Draw(painter, view).missing == 0;
    // Sheet numbers are wider than the margin of a tile: drawn over the
    // tiles, which leave them out.
    for (size_t l = 0; l < scene.layers().size(); ++l) {
      const SceneLayer& layer = scene.layers()[l];
      if (layer.visible && layer.style.label_sheet)
        DrawSheetNumbers(painter, layer, scene.FeaturesIn(static_cast<int>(l), visible), view);
    }
  } else {
    DrawLayers(painter, scene, view);
  }
  painter.setRenderHint(QPainter::Antialiasing, true);
  for (const FlaggedArea& area : scene.FlaggedAreas())
    if (area.box.Meets(visible)) DrawFlaggedArea(painter, area, view);
  if (highlight.Valid() && highlight.layer < static_cast<int>(scene.layers().size()) &&
      !scene.layers()[highlight.layer].data.Geometry(highlight.feature).points.empty())
    DrawHighlight(painter, scene, highlight, view);
  return complete;
}

bool DrawView(QPainter& painter, const MapScene& scene, const ViewTransform& view,
              FeatureRef highlight) {
  painter.fillRect(QRect(QPoint(0, 0), view.size()), Qt::white);
  bool complete = DrawMap(painter, scene, view, highlight);
  DrawScaleBar(painter, view);
  return complete;
}

double ScaleBarMetres(double pixels_per_metre) {
  if (!(pixels_per_metre > 0)) return 0;
  double target = 100 / pixels_per_metre;  // metres in about 100 pixels
  double power = std::pow(10.0, std::floor(std::log10(target)));
  for (double step : {5.0, 2.0, 1.0})
    if (step * power <= target) return step * power;
  return power;
}

void DrawScaleBar(QPainter& painter, const ViewTransform& view) {
  double metres = ScaleBarMetres(view.PixelsPerMetre());
  if (metres <= 0) return;
  double length = metres * view.PixelsPerMetre();
  // The bar and its box stay within the strip that fitting keeps free.
  QPointF left(12, view.size().height() - 14);
  painter.setRenderHint(QPainter::Antialiasing, false);
  painter.setPen(Qt::NoPen);
  painter.setBrush(QColor(255, 255, 255, 200));
  painter.drawRect(QRectF(left.x() - 6, left.y() - 20, length + 12, 28));
  painter.setPen(QPen(Qt::black, 2));
  painter.drawLine(left, left + QPointF(length, 0));
  painter.drawLine(left, left + QPointF(0, -5));
  painter.drawLine(left + QPointF(length, 0), left + QPointF(length, -5));
  QString text = metres >= 1000 ? QStringLiteral("%1 km").arg(metres / 1000)
                                : QStringLiteral("%1 m").arg(metres);
  QFont font = painter.font();
  font.setPixelSize(11);
  font.setBold(false);
  painter.setFont(font);
  painter.drawText(QRectF(left.x(), left.y() - 19, length, 14), Qt::AlignCenter, text);
}

}  // namespace pelmora::render
