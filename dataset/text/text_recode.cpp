#include "dataset/text/text_recode.h"

#include <cstdint>
#include <cstring>

#include "dataset/text/codepage.h"

bool IsAsciiCompatibleCodePage(unsigned codePage) noexcept {
  codePage = ResolveCodePage(codePage);
  switch (codePage) {
    case 437: case 720: case 737: case 775: case 850: case 852: case 855: case 857: case 858:
    case 860: case 861: case 862: case 863: case 864: case 865: case 866: case 869:
    case 874: case 932: case 936: case 949: case 950:
    case 1250: case 1251: case 1252: case 1253: case 1254: case 1255: case 1256: case 1257: case 1258:
    case 20866: case 21866:
    case 28591: case 28592: case 28593: case 28594: case 28595: case 28596: case 28597: case 28598:
    case 28599: case 28603: case 28605: case 38598:
    case 51932: case 51936: case 51949: case 54936: case 65001:
      return true;
    default:
      return false;
  }
}

bool IsAsciiText(const char* bytes, std::size_t length) noexcept {
  constexpr std::uint64_t kHighBits = 0x8080808080808080ull;
  std::size_t i = 0;
  for (; i + 32 <= length; i += 32) {
    std::uint64_t words[4];
    std::memcpy(words, bytes + i, sizeof words);
    if ((words[0] | words[1] | words[2] | words[3]) & kHighBits) return false;
  }
  for (; i + 8 <= length; i += 8) {
    std::uint64_t word;
    std::memcpy(&word, bytes + i, sizeof word);
    if (word & kHighBits) return false;
  }
  for (; i < length; ++i) {
    if (static_cast<unsigned char>(bytes[i]) >= 0x80) return false;
  }
  return true;
}

bool RecodeLeavesText(const char* bytes, std::size_t length, unsigned fromCodePage, unsigned toCodePage) noexcept {
  fromCodePage = ResolveCodePage(fromCodePage);
  toCodePage = ResolveCodePage(toCodePage);
  if (fromCodePage == toCodePage || length == 0) return true;
  return IsAsciiCompatibleCodePage(fromCodePage) && IsAsciiCompatibleCodePage(toCodePage) &&
         IsAsciiText(bytes, length);
}

bool RecodeText(const Kt_AString& in, unsigned fromCodePage, unsigned toCodePage, Kt_AString& out) noexcept {
  if (RecodeLeavesText(in.c_str(), in.Length(), fromCodePage, toCodePage)) {
    out.Assign(in);
    return true;
  }
  return ConvertCodePageExact(in, fromCodePage, toCodePage, out);
}
