#include "pictures.h"

#include <initializer_list>

namespace usbdup {
namespace {

void fillPolygon(HDC dc, const POINT* points, int count, COLORREF fill, COLORREF edge) {
  HBRUSH brush = CreateSolidBrush(fill);
  HPEN pen = CreatePen(PS_SOLID, 1, edge);
  HGDIOBJ oldBrush = SelectObject(dc, brush);
  HGDIOBJ oldPen = SelectObject(dc, pen);
  Polygon(dc, points, count);
  SelectObject(dc, oldPen);
  SelectObject(dc, oldBrush);
  DeleteObject(pen);
  DeleteObject(brush);
}

void fillBox(HDC dc, int left, int top, int right, int bottom, COLORREF color) {
  RECT box{left, top, right, bottom};
  HBRUSH brush = CreateSolidBrush(color);
  FillRect(dc, &box, brush);
  DeleteObject(brush);
}

}  // namespace

void drawDoubleChevron(HDC dc, const RECT& rect) {
  FillRect(dc, &rect, GetSysColorBrush(COLOR_BTNFACE));
  const int x = rect.left, y = rect.top;
  // Each chevron is a thick ">" 20 wide; the second one sits 10 to the right.
  for (int offset : {1, 11}) {
    const POINT points[] = {
        {x + offset, y + 4},       {x + offset + 8, y + 4},  {x + offset + 20, y + 16},
        {x + offset + 8, y + 28}, {x + offset, y + 28},      {x + offset + 12, y + 16},
    };
    fillPolygon(dc, points, 6, RGB(30, 110, 230), RGB(10, 60, 160));
  }
}

void drawWarningTriangle(HDC dc, const RECT& rect) {
  FillRect(dc, &rect, GetSysColorBrush(COLOR_BTNFACE));
  const int x = rect.left, y = rect.top;
  const POINT points[] = {{x + 7, y + 1}, {x + 8, y + 1}, {x + 15, y + 14}, {x + 0, y + 14}};
  fillPolygon(dc, points, 4, RGB(255, 150, 20), RGB(200, 90, 0));
  fillBox(dc, x + 7, y + 5, x + 9, y + 10, RGB(0, 0, 0));   // the stroke
  fillBox(dc, x + 7, y + 11, x + 9, y + 13, RGB(0, 0, 0));  // the dot
}

}  // namespace usbdup
