#pragma once
// Non-copyable owners of the GDI objects the updater's dialog draws with.
#include <windows.h>

#include "device/unique_handle.h"

namespace kt::updater {

struct BitmapTraits {
  using Value = HBITMAP;
  static Value Invalid() { return nullptr; }
  static bool Valid(Value v) { return v != nullptr; }
  static void Close(Value v) { ::DeleteObject(v); }
};

struct MemoryDcTraits {
  using Value = HDC;
  static Value Invalid() { return nullptr; }
  static bool Valid(Value v) { return v != nullptr; }
  static void Close(Value v) { ::DeleteDC(v); }
};

using UniqueBitmap = kt::device::UniqueResource<BitmapTraits>;
using UniqueMemoryDc = kt::device::UniqueResource<MemoryDcTraits>;

// Selects an object into a device context for one scope and selects the previous one back.
class SelectedObject {
 public:
  SelectedObject(HDC dc, HGDIOBJ object) : dc_(dc), previous_(::SelectObject(dc, object)) {}
  ~SelectedObject() { ::SelectObject(dc_, previous_); }
  SelectedObject(const SelectedObject&) = delete;
  SelectedObject& operator=(const SelectedObject&) = delete;

 private:
  HDC dc_;
  HGDIOBJ previous_;
};

}  // namespace kt::updater
