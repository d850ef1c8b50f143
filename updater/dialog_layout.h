#pragma once
// The updater dialog's two layouts: the small one for a background of 240 by 100 pixels and the
// large one for any other background.
#include <windows.h>

namespace kt::updater {

struct ControlPlace {
  int id;
  RECT rect;  // left, top, right, bottom in client pixels
};

struct DialogLayout {
  int width;   // client width in pixels
  int height;  // client height in pixels
  ControlPlace places[5];
};

constexpr int kSmallLayout = 0;
constexpr int kLargeLayout = 1;
constexpr int kLayoutOfResourceLibrary = -1;

// The layout's table row; null for any other number.
const DialogLayout* FindLayout(int number);

// The layout a background of this size gets when no resource library is loaded.
int LayoutForBackground(int width, int height);

// Sizes the window to the layout's client area plus twice the border width, places it at half the
// difference between the work area's size and its own, and moves the controls.
void ApplyLayout(HWND dialog, const DialogLayout& layout);

}  // namespace kt::updater
