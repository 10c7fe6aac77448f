#include "app_icon.hpp"

#include <algorithm>

namespace pelmora::win32 {

namespace {

// The transparent colour of the masks.
constexpr COLORREF kTransparent = RGB(255, 0, 255);

// A bitmap of size × size filled with the transparent colour, selected into
// a memory DC; Done returns the bitmap.
class TCanvas {
 public:
  explicit TCanvas(int size) : size_(size) {
    HDC screen = GetDC(nullptr);
    dc_ = CreateCompatibleDC(screen);
    bitmap_ = CreateCompatibleBitmap(screen, size, size);
    ReleaseDC(nullptr, screen);
    old_ = SelectObject(dc_, bitmap_);
    RECT all{0, 0, size, size};
    HBRUSH back = CreateSolidBrush(kTransparent);
    FillRect(dc_, &all, back);
    DeleteObject(back);
  }
  ~TCanvas() {
    if (dc_) DeleteDC(dc_);
    if (bitmap_) DeleteObject(bitmap_);
  }
  HDC dc() const { return dc_; }
  // Coordinates of the 32-pixel design at this size.
  int At(double design) const { return static_cast<int>(design * size_ / 32.0 + 0.5); }
  void Box(double l, double t, double r, double b, COLORREF fill, COLORREF line) {
    HBRUSH brush = CreateSolidBrush(fill);
    HPEN pen = line == kTransparent ? static_cast<HPEN>(GetStockObject(NULL_PEN))
                                    : CreatePen(PS_SOLID, 1, line);
    HGDIOBJ old_brush = SelectObject(dc_, brush);
    HGDIOBJ old_pen = SelectObject(dc_, pen);
    Rectangle(dc_, At(l), At(t), At(r), At(b));
    SelectObject(dc_, old_brush);
    SelectObject(dc_, old_pen);
    DeleteObject(brush);
    if (line != kTransparent) DeleteObject(pen);
  }
  void Line(const POINT* points, int count, bool curve, double width, COLORREF colour) {
    HPEN pen = CreatePen(PS_SOLID, std::max(1, At(width)), colour);
    HGDIOBJ old_pen = SelectObject(dc_, pen);
    if (curve) {
      PolyBezier(dc_, points, count);
    } else {
      Polyline(dc_, points, count);
    }
    SelectObject(dc_, old_pen);
    DeleteObject(pen);
  }
  POINT P(double x, double y) const { return POINT{At(x), At(y)}; }
  HBITMAP Done() {
    SelectObject(dc_, old_);
    HBITMAP bitmap = bitmap_;
    bitmap_ = nullptr;
    return bitmap;
  }

 private:
  int size_;
  HDC dc_ = nullptr;
  HBITMAP bitmap_ = nullptr;
  HGDIOBJ old_ = nullptr;
};

// The mask of a bitmap drawn on the transparent colour.
HBITMAP MaskOf(HBITMAP colour, int size) {
  HBITMAP mask = CreateBitmap(size, size, 1, 1, nullptr);
  HDC from = CreateCompatibleDC(nullptr);
  HDC to = CreateCompatibleDC(nullptr);
  HGDIOBJ old_from = SelectObject(from, colour);
  HGDIOBJ old_to = SelectObject(to, mask);
  SetBkColor(from, kTransparent);
  BitBlt(to, 0, 0, size, size, from, 0, 0, SRCCOPY);  // transparent → 1, drawn → 0
  // The colour image gets black where the mask is set, as icons want.
  // (a mono source's 1 bits take the target's background colour).
  SetBkColor(from, RGB(255, 255, 255));
  SetTextColor(from, RGB(0, 0, 0));
  BitBlt(from, 0, 0, size, size, to, 0, 0, 0x00220326);  // DSna
  SelectObject(from, old_from);
  SelectObject(to, old_to);
  DeleteDC(from);
  DeleteDC(to);
  return mask;
}

}  // namespace

HICON MakeAppIcon(int size) {
  TCanvas c(size);
  const COLORREF frame = RGB(0x40, 0x50, 0x60);
  c.Box(3.5, 3.5, 28.5, 28.5, RGB(0xfb, 0xf8, 0xe8), frame);   // the sheet
  c.Box(6, 6, 15, 14, RGB(0xc8, 0xe6, 0xb0), kTransparent);    // a block
  c.Box(19, 18, 25, 24, RGB(0xe0, 0x90, 0x70), kTransparent);  // a building
  const POINT river[] = {c.P(4, 22), c.P(10, 18), c.P(14, 28), c.P(28, 24)};
  c.Line(river, 4, true, 2.5, RGB(0x30, 0x80, 0xd0));
  const POINT road[] = {c.P(17, 4), c.P(12, 28)};
  c.Line(road, 2, false, 2.0, RGB(0xd0, 0x30, 0x30));
  HBRUSH none = static_cast<HBRUSH>(GetStockObject(NULL_BRUSH));
  HGDIOBJ old_brush = SelectObject(c.dc(), none);
  HPEN pen = CreatePen(PS_SOLID, 1, frame);
  HGDIOBJ old_pen = SelectObject(c.dc(), pen);
  Rectangle(c.dc(), c.At(3.5), c.At(3.5), c.At(28.5), c.At(28.5));  // the frame on top
  SelectObject(c.dc(), old_pen);
  SelectObject(c.dc(), old_brush);
  DeleteObject(pen);
  HBITMAP colour = c.Done();
  HBITMAP mask = MaskOf(colour, size);
  ICONINFO info{};
  info.fIcon = TRUE;
  info.hbmColor = colour;
  info.hbmMask = mask;
  HICON icon = CreateIconIndirect(&info);
  DeleteObject(colour);
  DeleteObject(mask);
  return icon;
}

HIMAGELIST MakeFolderImages(int size) {
  TCanvas c(size);
  // In a 32-unit design: the tab, then the body over it.
  const COLORREF edge = RGB(0xb0, 0x80, 0x10);
  c.Box(2, 7, 14, 12, RGB(0xf0, 0xc0, 0x40), edge);
  c.Box(2, 10, 30, 27, RGB(0xf8, 0xd0, 0x58), edge);
  HBITMAP colour = c.Done();
  HIMAGELIST images = ImageList_Create(size, size, ILC_COLOR32 | ILC_MASK, 1, 0);
  ImageList_AddMasked(images, colour, kTransparent);
  DeleteObject(colour);
  return images;
}

}  // namespace pelmora::win32
