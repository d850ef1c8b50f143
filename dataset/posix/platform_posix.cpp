#include "dataset/text/platform.h"

#include <iconv.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "dataset/text/buffer.h"
#include "dataset/posix/iconv_names.h"

namespace {

constexpr unsigned kDefaultAnsiCodePage = 1252;
#if defined(__BYTE_ORDER__) && __BYTE_ORDER__ == __ORDER_BIG_ENDIAN__
constexpr char kWideName[] = "UTF-16BE";
#else
constexpr char kWideName[] = "UTF-16LE";
#endif
constexpr char16_t kWideReplacement = u'\uFFFD';

class IconvHandle {
 public:
  IconvHandle(const char* to, const char* from) noexcept : m_handle(iconv_open(to, from)) {}
  ~IconvHandle() {
    if (Valid()) iconv_close(m_handle);
  }
  IconvHandle(const IconvHandle&) = delete;
  IconvHandle& operator=(const IconvHandle&) = delete;
  bool Valid() const noexcept { return m_handle != reinterpret_cast<iconv_t>(-1); }
  iconv_t Get() const noexcept { return m_handle; }

 private:
  iconv_t m_handle;
};

// Output collected in a growing block; the substitute for input the converter rejects is
// appended by the caller.
class Converter {
 public:
  Converter(const char* to, const char* from) noexcept : m_handle(to, from) {}
  bool Valid() const noexcept { return m_handle.Valid(); }

  // Converts as much as possible; returns the errno that stopped it (0 when all was taken).
  int Run(const char*& in, std::size_t& inLeft, Kt_Buffer& out) noexcept {
    for (;;) {
      std::size_t used = out.Size();
      constexpr std::size_t kLargestStep = (Kt_Buffer::kMaxSize - 16) / 4;
      std::size_t room = (inLeft < kLargestStep ? inLeft : kLargestStep) * 4 + 16;
      if (room > Kt_Buffer::kMaxSize - used || !out.Resize(used + room)) return ENOMEM;
      char* target = reinterpret_cast<char*>(out.MutableData()) + used;
      std::size_t targetLeft = room;
      char* source = const_cast<char*>(in);
      std::size_t result = iconv(m_handle.Get(), &source, &inLeft, &target, &targetLeft);
      int error = (result == static_cast<std::size_t>(-1)) ? errno : 0;
      in = source;
      out.Resize(used + (room - targetLeft));
      if (error != E2BIG) return error;
    }
  }

  bool Flush(Kt_Buffer& out) noexcept {
    char tail[32];
    char* target = tail;
    std::size_t left = sizeof tail;
    iconv(m_handle.Get(), nullptr, nullptr, &target, &left);
    return out.Append(tail, sizeof tail - left);
  }

 private:
  IconvHandle m_handle;
};

// Bytes of input to step over after the converter rejected the input at `in`.
using SkipRule = std::size_t (*)(const char* in, std::size_t inLeft);

std::size_t SkipOneByte(const char*, std::size_t) noexcept { return 1; }

// A whole surrogate pair is one character and gets one substitute.
std::size_t SkipOneCharacter(const char* in, std::size_t inLeft) noexcept {
  if (inLeft < 2) return inLeft;
  char16_t first;
  std::memcpy(&first, in, 2);
  if (first >= 0xD800 && first <= 0xDBFF && inLeft >= 4) {
    char16_t second;
    std::memcpy(&second, in + 2, 2);
    if (second >= 0xDC00 && second <= 0xDFFF) return 4;
  }
  return 2;
}

bool ConvertAll(const char* to, const char* from, const char* in, std::size_t inLeft, SkipRule skipRule,
                const void* substitute, std::size_t substituteSize, Kt_Buffer& out) noexcept {
  Converter converter(to, from);
  if (!converter.Valid()) return false;
  while (inLeft > 0) {
    int error = converter.Run(in, inLeft, out);
    if (error == 0) break;
    if (error != EILSEQ && error != EINVAL) return false;
    // Rejected or incomplete input: one substitute, then go on after the offending unit.
    if (!out.Append(substitute, substituteSize)) return false;
    std::size_t skip = skipRule(in, inLeft);
    if (skip > inLeft || skip == 0) skip = inLeft;
    in += skip;
    inLeft -= skip;
  }
  return converter.Flush(out);
}

}  // namespace

namespace kt_platform {

unsigned AnsiCodePage() noexcept {
  const char* value = std::getenv("KT_ANSI_CODEPAGE");
  if (!value || !*value) return kDefaultAnsiCodePage;
  char* end = nullptr;
  unsigned long number = std::strtoul(value, &end, 10);
  if (*end != '\0' || number == 0 || number > 65535) return kDefaultAnsiCodePage;
  return static_cast<unsigned>(number);
}

bool ToWide(unsigned codePage, const char* bytes, std::size_t length, Kt_WString& out) noexcept {
  char name[32];
  if (!IconvNameOfCodePage(codePage, name, sizeof name)) return false;
  Kt_Buffer wide;
  if (!ConvertAll(kWideName, name, bytes, length, SkipOneByte, &kWideReplacement, sizeof kWideReplacement, wide))
    return false;
  return out.Assign(reinterpret_cast<const char16_t*>(wide.Data()), wide.Size() / 2);
}

bool FromWide(unsigned codePage, const char16_t* units, std::size_t length, Kt_AString& out) noexcept {
  char name[32];
  if (!IconvNameOfCodePage(codePage, name, sizeof name)) return false;
  if (length > Kt_Buffer::kMaxSize / 2) return false;
  Kt_Buffer narrow;
  if (!ConvertAll(name, kWideName, reinterpret_cast<const char*>(units), length * 2, SkipOneCharacter, "?", 1,
                  narrow))
    return false;
  return out.Assign(reinterpret_cast<const char*>(narrow.Data()), narrow.Size());
}

}  // namespace kt_platform
