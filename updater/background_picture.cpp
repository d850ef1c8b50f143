#include "updater/background_picture.h"

#include <ole2.h>
#include <olectl.h>

#include <fstream>
#include <iterator>
#include <vector>

#include "device/com_ptr.h"

namespace kt::updater {
namespace {

struct GlobalMemoryTraits {
  using Value = HGLOBAL;
  static Value Invalid() { return nullptr; }
  static bool Valid(Value v) { return v != nullptr; }
  static void Close(Value v) { ::GlobalFree(v); }
};

struct ScreenDc {
  ScreenDc() : dc(::GetDC(nullptr)) {}
  ~ScreenDc() { ::ReleaseDC(nullptr, dc); }
  ScreenDc(const ScreenDc&) = delete;
  ScreenDc& operator=(const ScreenDc&) = delete;
  HDC dc;
};

bool LoadPicture(const std::string& path, kt::device::ComPtr<IPicture>& picture) {
  std::ifstream file(path, std::ios::binary);
  if (!file) return false;
  const std::vector<char> bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
  if (bytes.empty()) return false;
  kt::device::UniqueResource<GlobalMemoryTraits> memory(::GlobalAlloc(GMEM_MOVEABLE, bytes.size()));
  if (!memory) return false;
  void* target = ::GlobalLock(memory.Get());
  if (target == nullptr) return false;
  std::copy(bytes.begin(), bytes.end(), static_cast<char*>(target));
  ::GlobalUnlock(memory.Get());
  kt::device::ComPtr<IStream> stream;
  // The stream frees the memory when it goes.
  if (FAILED(::CreateStreamOnHGlobal(memory.Get(), TRUE, reinterpret_cast<IStream**>(stream.PutVoid())))) {
    return false;
  }
  memory.Release();
  return SUCCEEDED(::OleLoadPicture(stream.Get(), static_cast<LONG>(bytes.size()), FALSE, IID_IPicture,
                                    picture.PutVoid()));
}

}  // namespace

int HimetricToPixels(long himetric, int dotsPerInch) {
  return static_cast<int>((himetric * dotsPerInch + 1270) / 2540);
}

bool BackgroundPicture::LoadFile(const std::string& path) {
  kt::device::ComPtr<IPicture> picture;
  if (!LoadPicture(path, picture)) return false;
  OLE_XSIZE_HIMETRIC himetricWidth = 0;
  OLE_YSIZE_HIMETRIC himetricHeight = 0;
  picture->get_Width(&himetricWidth);
  picture->get_Height(&himetricHeight);
  ScreenDc screen;
  const int width = HimetricToPixels(himetricWidth, ::GetDeviceCaps(screen.dc, LOGPIXELSX));
  const int height = HimetricToPixels(himetricHeight, ::GetDeviceCaps(screen.dc, LOGPIXELSY));
  if (width <= 0 || height <= 0) return false;
  // Rendered once into a bitmap: transparent parts then show the dialog's face colour.
  UniqueBitmap bitmap(::CreateCompatibleBitmap(screen.dc, width, height));
  UniqueMemoryDc memory(::CreateCompatibleDC(screen.dc));
  if (!bitmap || !memory) return false;
  {
    SelectedObject selected(memory.Get(), bitmap.Get());
    RECT all{0, 0, width, height};
    ::FillRect(memory.Get(), &all, ::GetSysColorBrush(COLOR_BTNFACE));
    if (FAILED(picture->Render(memory.Get(), 0, 0, width, height, 0, himetricHeight, himetricWidth, -himetricHeight,
                               nullptr))) {
      return false;
    }
  }
  bitmap_ = std::move(bitmap);
  path_ = path;
  width_ = width;
  height_ = height;
  return true;
}

bool BackgroundPicture::LoadResource(HINSTANCE module, UINT id) {
  HBITMAP bitmap = static_cast<HBITMAP>(::LoadImageA(module, MAKEINTRESOURCEA(id), IMAGE_BITMAP, 0, 0, 0));
  if (bitmap == nullptr) return false;
  BITMAP info{};
  ::GetObjectA(bitmap, sizeof info, &info);
  Adopt(bitmap, info.bmWidth, info.bmHeight);
  path_.clear();
  return true;
}

void BackgroundPicture::Adopt(HBITMAP bitmap, int width, int height) {
  bitmap_.Reset(bitmap);
  width_ = width;
  height_ = height;
}

void BackgroundPicture::Draw(HDC dc, int x, int y, int sourceX, int sourceY, int width, int height) const {
  if (!bitmap_) return;
  UniqueMemoryDc memory(::CreateCompatibleDC(dc));
  if (!memory) return;
  SelectedObject selected(memory.Get(), bitmap_.Get());
  ::BitBlt(dc, x, y, width, height, memory.Get(), sourceX, sourceY, SRCCOPY);
}

}  // namespace kt::updater
