#pragma once
// A file on the CE device, opened by mode text and moved in pieces. Every transfer loops until all
// bytes have moved; a call that moves nothing before the end is a failure, never a shorter file.
#include <windows.h>

#include <string>
#include <vector>

#include "device/ce_handles.h"
#include "device/result_codes.h"

namespace kt::device {

// The remote-API layer's last error as a result.
HRESULT LastDeviceResult();
// The not-connected result of the operations other than file transfers (0x8018048F).
HRESULT NotConnectedResult();

// The device path in UTF-16; false when it has no exact form.
bool ToDevicePath(const std::string& path, std::wstring& out);

class CeFile {
 public:
  // Mode characters: "r" read an existing file, "w" write a new or truncated file, "a" read and
  // write, opening or creating, "+" read and write; others (such as "b") are ignored.
  HRESULT Open(const std::string& path, const char* mode);
  HRESULT Size(DWORD& size) const;
  // Reads the whole file; a read that stops short of its size fails.
  HRESULT ReadAll(std::vector<unsigned char>& data);
  // Reads exactly `size` bytes, piece by piece, handing each piece to `sink`.
  template <typename Sink>
  HRESULT ReadPieces(DWORD size, Sink sink);
  HRESULT WriteAll(const unsigned char* data, size_t size);
  void Close() { handle_.Reset(); }

 private:
  HRESULT ReadPiece(unsigned char* buffer, DWORD want, DWORD& got);
  UniqueCeHandle handle_;
};

// Largest piece of one device read or write.
constexpr DWORD kCePiece = 64 * 1024;

template <typename Sink>
HRESULT CeFile::ReadPieces(DWORD size, Sink sink) {
  std::vector<unsigned char> buffer(size < kCePiece ? size : kCePiece);
  DWORD done = 0;
  while (done < size) {
    DWORD want = size - done < kCePiece ? size - done : kCePiece;
    DWORD got = 0;
    HRESULT hr = ReadPiece(buffer.data(), want, got);
    if (FAILED(hr)) return hr;
    hr = sink(buffer.data(), got);
    if (FAILED(hr)) return hr;
    done += got;
  }
  return S_OK;
}

}  // namespace kt::device
