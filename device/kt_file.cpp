#include "device/kt_file.h"

#include <algorithm>
#include <limits>
#include <new>

#include "device/result_codes.h"

using kt::device::FileResult;

namespace {

// Largest piece handed to one ReadFile or WriteFile call.
constexpr DWORD kChunk = 1u << 30;

HRESULT LastFileError(DWORD fallback) {
  DWORD error = ::GetLastError();
  return FileResult(error != 0 ? error : fallback);
}

}  // namespace

HRESULT Kt_File::Open(const std::string& name, const char* mode) {
  Close();
  if (mode == nullptr) return E_INVALIDARG;
  DWORD access = 0;
  DWORD disposition = 0;
  for (const char* m = mode; *m != '\0'; ++m) {
    switch (*m) {
      case 'r': case 'R': access |= GENERIC_READ; disposition = OPEN_EXISTING; break;
      case 'w': case 'W': access |= GENERIC_WRITE; disposition = CREATE_ALWAYS; break;
      case '+': access = GENERIC_READ | GENERIC_WRITE; break;
      case 'b': case 'B': break;
      default: return E_INVALIDARG;
    }
  }
  if (disposition == 0) return E_INVALIDARG;
  HANDLE file = ::CreateFileA(name.c_str(), access, FILE_SHARE_READ, nullptr, disposition,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return LastFileError(ERROR_OPEN_FAILED);
  handle_.Reset(file);
  return S_OK;
}

HRESULT Kt_File::GetSize(ULONGLONG& size) const {
  size = 0;
  if (!IsOpen()) return FileResult(ERROR_INVALID_HANDLE);
  LARGE_INTEGER value;
  if (!::GetFileSizeEx(handle_.Get(), &value)) return LastFileError(ERROR_READ_FAULT);
  size = static_cast<ULONGLONG>(value.QuadPart);
  return S_OK;
}

HRESULT Kt_File::ReadAll(std::vector<unsigned char>& data) {
  data.clear();
  ULONGLONG size = 0;
  HRESULT hr = GetSize(size);
  if (FAILED(hr)) return hr;
  if (size > std::numeric_limits<size_t>::max() || size > data.max_size()) return E_OUTOFMEMORY;
  try {
    data.resize(static_cast<size_t>(size));
  } catch (const std::bad_alloc&) {
    return E_OUTOFMEMORY;
  }
  LARGE_INTEGER start{};
  if (!::SetFilePointerEx(handle_.Get(), start, nullptr, FILE_BEGIN)) return LastFileError(ERROR_SEEK);
  size_t done = 0;
  while (done < data.size()) {
    DWORD want = static_cast<DWORD>(std::min<size_t>(data.size() - done, kChunk));
    DWORD got = 0;
    ::SetLastError(0);
    if (!::ReadFile(handle_.Get(), data.data() + done, want, &got, nullptr) || got == 0) {
      HRESULT error = LastFileError(ERROR_HANDLE_EOF);
      data.clear();
      return error;
    }
    done += got;
  }
  return S_OK;
}

HRESULT Kt_File::WriteAll(const void* data, size_t size) {
  if (!IsOpen()) return FileResult(ERROR_INVALID_HANDLE);
  const unsigned char* bytes = static_cast<const unsigned char*>(data);
  size_t done = 0;
  while (done < size) {
    DWORD want = static_cast<DWORD>(std::min<size_t>(size - done, kChunk));
    DWORD written = 0;
    ::SetLastError(0);
    if (!::WriteFile(handle_.Get(), bytes + done, want, &written, nullptr) || written == 0) {
      return LastFileError(ERROR_WRITE_FAULT);
    }
    done += written;
  }
  return S_OK;
}
