// The two pictures of the main window, drawn by code into their rectangles.
#pragma once
#include <windows.h>

namespace usbdup {

// A blue double chevron pointing right (masters to targets), for 32 x 32.
void drawDoubleChevron(HDC dc, const RECT& rect);
// A small orange warning triangle with an exclamation mark, for 16 x 16.
void drawWarningTriangle(HDC dc, const RECT& rect);

}  // namespace usbdup
