#include "control/com/bstr.h"

#include <climits>

namespace kt::com {
namespace {

BSTR AllocFromAnsi(const std::string& ansi) {
  if (ansi.size() > INT_MAX) return nullptr;
  const int length = static_cast<int>(ansi.size());
  const int wideLength = length == 0 ? 0 : ::MultiByteToWideChar(CP_ACP, 0, ansi.data(), length, nullptr, 0);
  BSTR result = ::SysAllocStringLen(nullptr, static_cast<UINT>(wideLength));
  if (result != nullptr && wideLength > 0) {
    ::MultiByteToWideChar(CP_ACP, 0, ansi.data(), length, result, wideLength);
  }
  return result;
}

}  // namespace

Bstr::Bstr(const std::string& ansi) : value_(AllocFromAnsi(ansi)) {}

std::string AnsiFromBstr(BSTR text) {
  const UINT length = ::SysStringLen(text);
  if (text == nullptr || length == 0 || length > INT_MAX) return std::string();
  const int wideLength = static_cast<int>(length);
  const int size = ::WideCharToMultiByte(CP_ACP, 0, text, wideLength, nullptr, 0, nullptr, nullptr);
  std::string result(static_cast<size_t>(size > 0 ? size : 0), '\0');
  if (size > 0) ::WideCharToMultiByte(CP_ACP, 0, text, wideLength, &result[0], size, nullptr, nullptr);
  return result;
}

HRESULT ReturnBstr(const std::string& ansi, BSTR* out) {
  if (out == nullptr) return E_POINTER;
  *out = AllocFromAnsi(ansi);
  return *out != nullptr ? S_OK : E_OUTOFMEMORY;
}

}  // namespace kt::com
