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

void DrawMap(QPainter& painter, const MapScene& scene, const ViewTransform& view,
             FeatureRef highlight = {});

// Draws the overview picture of a scene of many features (see
// OverviewPicture), which takes as long as drawing the whole map once; meant
// for the thread that loads the map. A small scene gets none.
void BuildOverview(MapScene& scene);

// The whole picture of a view as the window and the renderer show it: a
// white ground, the map and the scale bar.
void DrawView(QPainter& painter, const MapScene& scene, const ViewTransform& view,
              FeatureRef highlight = {});

// A bar of a round length (1, 2 or 5 times a power of ten metres) of about a
// hundred pixels, in the lower left corner.
void DrawScaleBar(QPainter& painter, const ViewTransform& view);

// The round length in metres the scale bar shows for that scale.
double ScaleBarMetres(double pixels_per_metre);

}  // namespace pelmora::render
