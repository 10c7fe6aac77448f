#pragma once
// The program's icon: a map sheet with a road, a river and a block, drawn in
// code at any size (the window icon and the 32 x 32 picture of the about box).
#include <QIcon>
#include <QPixmap>

namespace pelmora::gui {

QPixmap AppIconPixmap(int size);
QIcon AppIcon();

}  // namespace pelmora::gui
