#pragma once
// Draws a map scene through a view: the visible layers in drawing order, the
// areas of another zone flagged, the highlighted feature, the sheet numbers
// and a scale bar. The window and the
// renderer without a window both draw with this.
#include <QPainter>

#include "map_scene.hpp"
#include "view_transform.hpp"

namespace pelmora::render {

// The label over an area whose map-sheet file names another zone.
extern const QString kZoneMismatchLabel;

// Returns false when tiles of a large map were stood in for while they are
// being drawn: the picture is then drawn again when they are ready.
bool DrawMap(QPainter& painter, const MapScene& scene, const ViewTransform& view,
             FeatureRef highlight = {});

// Gives a scene of many features its tiles (see TileCache) and draws the
// coarsest level of them, the whole map: meant for the thread that loads the
// map. A small scene gets none and is drawn directly.
void BuildOverview(MapScene& scene);

// What a tile of a large map shows: the visible layers (by the flags of
// visible) but their sheet numbers, which are drawn over the tiles.
void DrawTileContent(QPainter& painter, const MapScene& scene, const ViewTransform& view,
                     const std::vector<char>& visible);

// The whole picture of a view as the window and the renderer show it: a
// white ground, the map and the scale bar. Returns as DrawMap does.
bool DrawView(QPainter& painter, const MapScene& scene, const ViewTransform& view,
              FeatureRef highlight = {});

// A bar of a round length (1, 2 or 5 times a power of ten metres) of about a
// hundred pixels, in the lower left corner.
void DrawScaleBar(QPainter& painter, const ViewTransform& view);

// The round length in metres the scale bar shows for that scale.
double ScaleBarMetres(double pixels_per_metre);

}  // namespace pelmora::render
