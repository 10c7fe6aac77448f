#include "folder_list.hpp"

#include "core/platform/windows/wide_path.hpp"
#include "dpi.hpp"
#include "folder_rules.hpp"

namespace pelmora::win32 {

using platform::Narrow;
using platform::Widen;

namespace {

// Hands the drops that reach the list to its parent, which owns the rules.
LRESULT CALLBACK ForwardDrops(HWND list, UINT message, WPARAM wparam, LPARAM lparam, UINT_PTR,
                              DWORD_PTR) {
  if (message == WM_DROPFILES) return SendMessageW(GetParent(list), message, wparam, lparam);
  if (message == WM_NCDESTROY) RemoveWindowSubclass(list, ForwardDrops, 0);
  return DefSubclassProc(list, message, wparam, lparam);
}

std::wstring RowText(HWND list, UINT row) {
  const LRESULT length = SendMessageW(list, LB_GETTEXTLEN, row, 0);
  if (length == LB_ERR) return {};
  std::wstring text(static_cast<size_t>(length) + 1, L'\0');
  SendMessageW(list, LB_GETTEXT, row, reinterpret_cast<LPARAM>(text.data()));
  text.resize(static_cast<size_t>(length));
  return text;
}

}  // namespace

void AcceptDroppedFolders(HWND list) {
  SetWindowSubclass(list, ForwardDrops, 0, 0);
  DragAcceptFiles(list, TRUE);
}

std::vector<std::string> DroppedPaths(HDROP drop) {
  std::vector<std::string> paths;
  const UINT count = DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0);
  for (UINT i = 0; i < count; ++i) {
    const UINT length = DragQueryFileW(drop, i, nullptr, 0);
    std::wstring path(length + 1, L'\0');
    DragQueryFileW(drop, i, path.data(), length + 1);
    path.resize(length);
    paths.push_back(Narrow(path));
  }
  return paths;
}

void DrawFolderRow(const DRAWITEMSTRUCT& item, HIMAGELIST images, HFONT font, int dpi) {
  if (item.itemID == static_cast<UINT>(-1)) {  // an empty list: the focus only
    if (item.itemState & ODS_FOCUS) DrawFocusRect(item.hDC, &item.rcItem);
    return;
  }
  const bool selected = (item.itemState & ODS_SELECTED) != 0;
  const COLORREF back = GetSysColor(selected ? COLOR_HIGHLIGHT : COLOR_WINDOW);
  const COLORREF text = GetSysColor(selected ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT);
  HDC dc = item.hDC;
  const RECT& rect = item.rcItem;
  HBRUSH brush = CreateSolidBrush(back);
  FillRect(dc, &rect, brush);
  DeleteObject(brush);
  ImageList_Draw(images, 0, dc, rect.left + Scale(1, dpi), rect.top, ILD_NORMAL);

  RECT client{};
  GetClientRect(item.hwndItem, &client);
  const int max_width = client.right - Scale(18, dpi);
  const auto width = [dc, font](std::string_view shown) {
    return TextWidth(dc, font, Widen(shown));
  };
  const std::wstring shown =
      Widen(window::FitPathToWidth(Narrow(RowText(item.hwndItem, item.itemID)), width, max_width));
  HGDIOBJ old_font = SelectObject(dc, font);
  SetTextColor(dc, text);
  SetBkColor(dc, back);
  SetBkMode(dc, OPAQUE);
  TextOutW(dc, rect.left + Scale(19, dpi), rect.top + Scale(2, dpi), shown.c_str(),
           static_cast<int>(shown.size()));
  SelectObject(dc, old_font);
  if ((item.itemState & ODS_FOCUS) && !(item.itemState & ODS_NOFOCUSRECT)) {
    DrawFocusRect(dc, &rect);
  }
}

}  // namespace pelmora::win32
