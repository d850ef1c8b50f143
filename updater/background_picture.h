#pragma once
// The dialog's background: an image file loaded with the system's picture loader, a built-in
// bitmap, or one the resource library supplies. Whatever its source, it is kept as a bitmap of
// its size in pixels and copied to the window.
#include <windows.h>

#include <string>

#include "updater/gdi_objects.h"

namespace kt::updater {

class BackgroundPicture {
 public:
  // Loads an image file in any format the picture loader reads; a path without ":" is taken in
  // the current folder. Its size in HIMETRIC is converted to pixels at the screen's resolution.
  bool LoadFile(const std::string& path);
  // A bitmap resource of `module`.
  bool LoadResource(HINSTANCE module, UINT id);
  // Takes over a bitmap handed out by the resource library, with its size when known.
  void Adopt(HBITMAP bitmap, int width, int height);
  void SetSize(int width, int height) {
    width_ = width;
    height_ = height;
  }

  bool Loaded() const { return bitmap_.Valid(); }
  int Width() const { return width_; }
  int Height() const { return height_; }
  const std::string& Path() const { return path_; }

  // Copies the part of the background at (`sourceX`, `sourceY`) of `width` by `height` to
  // (`x`, `y`) of `dc`.
  void Draw(HDC dc, int x, int y, int sourceX, int sourceY, int width, int height) const;

 private:
  UniqueBitmap bitmap_;
  std::string path_;
  int width_ = 0;
  int height_ = 0;
};

// HIMETRIC to pixels at `dotsPerInch`, rounded.
int HimetricToPixels(long himetric, int dotsPerInch);

}  // namespace kt::updater
