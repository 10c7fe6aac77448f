#pragma once
// The map-data folder list ListBox1 on Win32: an owner-drawn list with
// multiple selection whose rows show the folder image and the path shortened
// to the row (the model's FitPathToWidth), and the folders dropped on it from
// Explorer.
#include <windows.h>
// (the headers below need windows.h first)
#include <commctrl.h>
#include <shellapi.h>

#include <string>
#include <vector>

namespace pelmora::win32 {

// The list's window styles: owner-drawn rows of one height, strings kept,
// several rows selectable with Shift and Ctrl.
inline constexpr DWORD kFolderListStyle = WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_VSCROLL |
                                          LBS_OWNERDRAWFIXED | LBS_HASSTRINGS | LBS_EXTENDEDSEL |
                                          LBS_NOINTEGRALHEIGHT | LBS_NOTIFY;

// Lets list take folders dropped from Explorer: the drop reaches its parent
// as WM_DROPFILES.
void AcceptDroppedFolders(HWND list);

// The paths of a drop, in the order given.
std::vector<std::string> DroppedPaths(HDROP drop);

// ListBox1DrawItem: the background of the row's state, image 0 of images at
// left + 1, and the shortened path at left + 19, top + 2 (in pixels at 96
// dpi, scaled to dpi); the focus rectangle of the current row.
void DrawFolderRow(const DRAWITEMSTRUCT& item, HIMAGELIST images, HFONT font, int dpi);

}  // namespace pelmora::win32
