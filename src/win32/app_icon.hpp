#pragma once
// The program's icon (a map sheet with a block, a building, a river and a
// road, as the Qt window draws it) and the folder list's folder image, drawn
// with GDI at the size asked for, so that they are sharp at any DPI.
#include <windows.h>
// (the headers below need windows.h first)
#include <commctrl.h>

namespace pelmora::win32 {

// The program's icon, size × size pixels; the caller destroys it.
HICON MakeAppIcon(int size);

// ImageList1: one image, a yellow closed folder on a transparent
// background, size × size pixels (16 at 96 dpi). The caller destroys it.
HIMAGELIST MakeFolderImages(int size);

}  // namespace pelmora::win32
