#pragma once
// Kt_File: a file on the PC opened by name for whole-content reads and writes.
// Modes: "rb" reads an existing file as raw bytes, "wb" creates or truncates it for writing
// ("+" adds the other direction). Failures are 0x80080000 | the system error.
#include <windows.h>

#include <string>
#include <vector>

#include "device/unique_handle.h"

class Kt_File {
 public:
  Kt_File() = default;
  Kt_File(const Kt_File&) = delete;
  Kt_File& operator=(const Kt_File&) = delete;
  Kt_File(Kt_File&&) noexcept = default;
  Kt_File& operator=(Kt_File&&) noexcept = default;

  HRESULT Open(const std::string& name, const char* mode);
  bool IsOpen() const { return handle_.Valid(); }
  void Close() { handle_.Reset(); }

  HRESULT GetSize(ULONGLONG& size) const;
  // Reads the file from its start to its end; fewer bytes than its size is a failure.
  HRESULT ReadAll(std::vector<unsigned char>& data);
  HRESULT WriteAll(const void* data, size_t size);
  HRESULT WriteAll(const std::vector<unsigned char>& data) { return WriteAll(data.data(), data.size()); }

 private:
  kt::device::UniqueHandle handle_;
};
