#include "dataset/text/codepage.h"

#include <atomic>
#include <cstring>

#include "dataset/text/platform.h"

namespace {

std::atomic<unsigned> g_cachedCodePage{0};
std::atomic<unsigned> g_overrideCodePage{0};

constexpr unsigned kUtf16CodePage = 1200;

struct CodePageMapping {
  unsigned codePage;
  unsigned value;
};

constexpr CodePageMapping kLanguages[] = {
    {874, 1054},  {932, 1041},  {936, 2052},  {949, 1042},  {950, 3076},
    {1250, 1091}, {1251, 1058}, {1252, 1033}, {1253, 1032}, {1254, 1055},
    {1255, 1037}, {1256, 5121}, {1257, 2087}, {1258, 1066},
};

constexpr CodePageMapping kFamilies[] = {
    {708, 1256},   {720, 1256},   {862, 1256},   {1256, 1256},  {28596, 1256}, {852, 852},
    {866, 866},    {874, 874},    {932, 932},    {50220, 932},  {50221, 932},  {50222, 932},
    {50932, 932},  {51932, 932},  {936, 936},    {52936, 936},  {949, 949},    {50225, 949},
    {50949, 949},  {51949, 949},  {950, 950},    {1200, 65001}, {1201, 65001}, {65000, 65001},
    {65001, 65001}, {1250, 1250}, {28592, 1250}, {1251, 1251},  {20866, 1251}, {21866, 1251},
    {28595, 1251}, {1253, 1253},  {28597, 1253}, {1254, 1254},  {28593, 1254}, {1255, 1255},
    {28598, 1255}, {38598, 1255}, {1257, 1257},  {28594, 1257}, {1258, 1258},
};

template <std::size_t N>
unsigned Lookup(const CodePageMapping (&table)[N], unsigned codePage, unsigned otherwise) noexcept {
  for (const CodePageMapping& row : table) {
    if (row.codePage == codePage) return row.value;
  }
  return otherwise;
}

}  // namespace

unsigned SystemCodePage() noexcept {
  unsigned forced = g_overrideCodePage.load(std::memory_order_relaxed);
  if (forced) return forced;
  unsigned cached = g_cachedCodePage.load(std::memory_order_relaxed);
  if (!cached) {
    cached = kt_platform::AnsiCodePage();
    if (!cached) cached = 1252;
    g_cachedCodePage.store(cached, std::memory_order_relaxed);
  }
  return cached;
}

unsigned SetSystemCodePageOverride(unsigned codePage) noexcept {
  return g_overrideCodePage.exchange(codePage, std::memory_order_relaxed);
}

unsigned ResolveCodePage(unsigned codePage) noexcept { return codePage ? codePage : SystemCodePage(); }

unsigned LanguageOfCodePage(unsigned codePage) noexcept { return Lookup(kLanguages, codePage, 1024); }

unsigned SystemLanguage() noexcept { return LanguageOfCodePage(SystemCodePage()); }

unsigned CodePageFamily(unsigned codePage) noexcept { return Lookup(kFamilies, codePage, 1252); }

bool MultiByteToWide(unsigned codePage, const char* bytes, std::size_t length, Kt_WString& out) noexcept {
  out.Clear();
  if (!bytes || length == 0) return true;
  codePage = ResolveCodePage(codePage);
  if (codePage == kUtf16CodePage) {
    std::size_t units = length / 2;
    char16_t* target = out.GetBuffer(units);
    if (units && !target) return false;
    for (std::size_t i = 0; i < units; ++i) {
      auto low = static_cast<unsigned char>(bytes[2 * i]);
      auto high = static_cast<unsigned char>(bytes[2 * i + 1]);
      target[i] = static_cast<char16_t>(low | (high << 8));
    }
    return true;
  }
  if (!kt_platform::ToWide(codePage, bytes, length, out)) {
    out.Clear();
    return false;
  }
  return true;
}

bool WideToMultiByte(unsigned codePage, const char16_t* units, std::size_t length, Kt_AString& out) noexcept {
  out.Clear();
  if (!units || length == 0) return true;
  codePage = ResolveCodePage(codePage);
  if (codePage == kUtf16CodePage) {
    if (length > Kt_AString::kMaxLength / 2) return false;
    char* target = out.GetBuffer(length * 2);
    if (!target) return false;
    for (std::size_t i = 0; i < length; ++i) {
      target[2 * i] = static_cast<char>(units[i] & 0xFF);
      target[2 * i + 1] = static_cast<char>(units[i] >> 8);
    }
    return true;
  }
  if (!kt_platform::FromWide(codePage, units, length, out)) {
    out.Clear();
    return false;
  }
  return true;
}

bool WideToMultiByteExact(unsigned codePage, const char16_t* units, std::size_t length, Kt_AString& out) noexcept {
  if (!WideToMultiByte(codePage, units, length, out)) return false;
  Kt_WString back;
  if (!MultiByteToWide(codePage, out.c_str(), out.Length(), back) || back.Length() != length ||
      (length && std::memcmp(back.c_str(), units, length * sizeof(char16_t)) != 0)) {
    out.Clear();
    return false;
  }
  return true;
}

namespace {

// From one code page to another through UTF-16, exactly or allowing default characters.
bool ConvertThroughWide(const Kt_AString& in, unsigned fromCodePage, unsigned toCodePage, bool exact,
                        Kt_AString& out) noexcept {
  fromCodePage = ResolveCodePage(fromCodePage);
  toCodePage = ResolveCodePage(toCodePage);
  if (fromCodePage == toCodePage || in.IsEmpty()) {
    out.Assign(in);
    return true;
  }
  Kt_WString wide;
  if (!MultiByteToWide(fromCodePage, in.c_str(), in.Length(), wide)) return false;
  Kt_AString converted;
  if (!(exact ? WideToMultiByteExact : WideToMultiByte)(toCodePage, wide.c_str(), wide.Length(), converted)) {
    return false;
  }
  out.Swap(converted);
  return true;
}

}  // namespace

bool ConvertCodePage(const Kt_AString& in, unsigned fromCodePage, unsigned toCodePage, Kt_AString& out) noexcept {
  return ConvertThroughWide(in, fromCodePage, toCodePage, false, out);
}

bool ConvertCodePageExact(const Kt_AString& in, unsigned fromCodePage, unsigned toCodePage, Kt_AString& out) noexcept {
  return ConvertThroughWide(in, fromCodePage, toCodePage, true, out);
}

Kt_AString WideUnitToSystemBytes(char16_t unit) noexcept {
  Kt_AString bytes;
  if (!WideToMultiByte(0, &unit, 1, bytes) || bytes.Length() > 4) return Kt_AString();
  return bytes;
}
