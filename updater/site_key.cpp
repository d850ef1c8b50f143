#include "updater/site_key.h"

#include <windows.h>

#include <algorithm>

#include "dataset/text/base64.h"

namespace kt::updater {
namespace {

constexpr size_t kMaxDecodedBytes = 518;
constexpr int kMaxAnsiBytes = 259;

}  // namespace

std::string DecodeSiteKey(const std::string& siteKey) {
  Kt_Buffer bytes;
  Base64Decode(siteKey.c_str(), siteKey.size(), bytes);
  const size_t kept = std::min(bytes.Size(), kMaxDecodedBytes);
  std::wstring wide;
  // The decoded bytes are followed by zeros: an odd last byte is a character of its own.
  for (size_t i = 0; i < kept; i += 2) {
    const unsigned high = i + 1 < kept ? bytes.Data()[i + 1] : 0;
    const wchar_t c = static_cast<wchar_t>(bytes.Data()[i] | (high << 8));
    if (c == 0) break;
    wide.push_back(c);
  }
  if (wide.empty()) return std::string();
  char ansi[kMaxAnsiBytes + 1] = {0};
  const int length = ::WideCharToMultiByte(CP_ACP, 0, wide.c_str(), static_cast<int>(wide.size()), ansi,
                                           kMaxAnsiBytes, nullptr, nullptr);
  return std::string(ansi, length > 0 ? static_cast<size_t>(length) : 0);
}

}  // namespace kt::updater
