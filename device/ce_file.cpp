#include "device/ce_file.h"

#include <new>

#include "config/wide_text.h"

namespace kt::device {

HRESULT LastDeviceResult() {
  DWORD error = kt::rapi::LastError();
  return DeviceResult(error != 0 ? error : ERROR_GEN_FAILURE);
}

HRESULT NotConnectedResult() { return DeviceResult(ERROR_DEVICE_NOT_CONNECTED); }

bool ToDevicePath(const std::string& path, std::wstring& out) { return kt::AnsiToWide(path, out); }

HRESULT CeFile::Open(const std::string& path, const char* mode) {
  Close();
  if (mode == nullptr) return E_INVALIDARG;
  DWORD access = 0;
  DWORD disposition = 0;
  for (const char* m = mode; *m != '\0'; ++m) {
    switch (*m) {
      case '+': access = GENERIC_READ | GENERIC_WRITE; break;
      case 'a': case 'A': access = GENERIC_READ | GENERIC_WRITE; disposition = OPEN_ALWAYS; break;
      case 'r': case 'R': access |= GENERIC_READ; disposition = OPEN_EXISTING; break;
      case 'w': case 'W': access |= GENERIC_WRITE; disposition = CREATE_ALWAYS; break;
      default: break;
    }
  }
  if (disposition == 0) return E_INVALIDARG;
  std::wstring devicePath;
  if (!ToDevicePath(path, devicePath)) return E_INVALIDARG;
  HANDLE file = kt::rapi::CeCreateFile(devicePath.c_str(), access, 0, nullptr, disposition, FILE_ATTRIBUTE_NORMAL,
                                       nullptr);
  if (file == INVALID_HANDLE_VALUE) return LastDeviceResult();
  if (file == nullptr) return E_INVALIDARG;
  handle_.Reset(file);
  return S_OK;
}

HRESULT CeFile::Size(DWORD& size) const {
  DWORD high = 0;
  size = kt::rapi::CeGetFileSize(handle_.Get(), &high);
  if (size == INVALID_FILE_SIZE && kt::rapi::LastError() != 0) return LastDeviceResult();
  // A device file beyond 4 GiB cannot be held here.
  if (high != 0) return E_OUTOFMEMORY;
  return S_OK;
}

HRESULT CeFile::ReadPiece(unsigned char* buffer, DWORD want, DWORD& got) {
  got = 0;
  if (!kt::rapi::CeReadFile(handle_.Get(), buffer, want, &got, nullptr)) return LastDeviceResult();
  if (got == 0 || got > want) return DeviceResult(ERROR_HANDLE_EOF);
  return S_OK;
}

HRESULT CeFile::ReadAll(std::vector<unsigned char>& data) {
  data.clear();
  DWORD size = 0;
  HRESULT hr = Size(size);
  if (FAILED(hr)) return hr;
  try {
    data.reserve(size);
  } catch (const std::bad_alloc&) {
    return E_OUTOFMEMORY;
  }
  hr = ReadPieces(size, [&data](const unsigned char* piece, DWORD length) {
    data.insert(data.end(), piece, piece + length);
    return S_OK;
  });
  if (FAILED(hr)) data.clear();
  return hr;
}

HRESULT CeFile::WriteAll(const unsigned char* data, size_t size) {
  size_t done = 0;
  while (done < size) {
    DWORD want = static_cast<DWORD>(size - done < kCePiece ? size - done : kCePiece);
    DWORD written = 0;
    if (!kt::rapi::CeWriteFile(handle_.Get(), data + done, want, &written, nullptr)) return LastDeviceResult();
    if (written == 0 || written > want) return DeviceResult(ERROR_WRITE_FAULT);
    done += written;
  }
  return S_OK;
}

}  // namespace kt::device
