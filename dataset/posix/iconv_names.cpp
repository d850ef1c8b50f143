#include "dataset/posix/iconv_names.h"

#include <cstdio>

namespace {

struct NamedCodePage {
  unsigned codePage;
  const char* name;
};

// Windows code pages whose iconv name is not simply "CP" followed by the number.
constexpr NamedCodePage kNames[] = {
    {708, "ISO-8859-6"},   {20127, "ASCII"},       {20866, "KOI8-R"},      {21866, "KOI8-U"},
    {28591, "ISO-8859-1"}, {28592, "ISO-8859-2"},  {28593, "ISO-8859-3"},  {28594, "ISO-8859-4"},
    {28595, "ISO-8859-5"}, {28596, "ISO-8859-6"},  {28597, "ISO-8859-7"},  {28598, "ISO-8859-8"},
    {28599, "ISO-8859-9"}, {28603, "ISO-8859-13"}, {28605, "ISO-8859-15"}, {38598, "ISO-8859-8"},
    {50220, "ISO-2022-JP"}, {50221, "ISO-2022-JP"}, {50222, "ISO-2022-JP"}, {50225, "ISO-2022-KR"},
    {50932, "EUC-JP"},     {51932, "EUC-JP"},      {51936, "EUC-CN"},      {50949, "EUC-KR"},
    {51949, "EUC-KR"},     {52936, "GB2312"},      {54936, "GB18030"},     {65000, "UTF-7"},
    {65001, "UTF-8"},      {1201, "UTF-16BE"},     {10000, "MACINTOSH"},
};

}  // namespace

bool IconvNameOfCodePage(unsigned codePage, char* name, std::size_t size) noexcept {
  if (!name || size == 0 || codePage == 0) return false;
  for (const NamedCodePage& row : kNames) {
    if (row.codePage == codePage) return std::snprintf(name, size, "%s", row.name) > 0;
  }
  int written = std::snprintf(name, size, "CP%u", codePage);
  return written > 0 && static_cast<std::size_t>(written) < size;
}
