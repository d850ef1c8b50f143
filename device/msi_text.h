#pragma once
// Reads a text answer of the Windows Installer: first its size, then the text.
#include <windows.h>

#include <string>

namespace kt::device {

// `call(buffer, size)` is one Windows Installer text query. Returns its error code; the text is
// empty on every failure.
template <typename Call>
UINT ReadInstallerText(Call call, std::string& text) {
  constexpr DWORD kLargestText = 1u << 24;
  text.clear();
  DWORD size = 0;
  UINT result = call(nullptr, &size);
  if (result != ERROR_SUCCESS && result != ERROR_MORE_DATA) return result;
  if (size == 0) return ERROR_SUCCESS;
  // A text may grow between the two calls, and a double-byte text may need more bytes than the
  // first answer counted: ask again with the larger size a few times.
  for (int attempt = 0; attempt < 4; ++attempt) {
    if (size >= kLargestText) return ERROR_NOT_ENOUGH_MEMORY;
    std::string buffer(size + 1, '\0');
    DWORD capacity = size + 1;
    result = call(&buffer[0], &capacity);
    if (result == ERROR_SUCCESS) {
      text.assign(buffer.c_str());
      return ERROR_SUCCESS;
    }
    if (result != ERROR_MORE_DATA || capacity <= size) return result;
    size = capacity;
  }
  return ERROR_MORE_DATA;
}

}  // namespace kt::device
