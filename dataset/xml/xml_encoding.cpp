#include "dataset/xml/xml_encoding.h"

#include <cstring>

#include "dataset/text/byte_search.h"
#include "dataset/text/codepage.h"
#include "dataset/text/encoding_names.h"
#include "dataset/text/text_recode.h"
#include "dataset/text/wstring.h"

namespace {

constexpr unsigned kUtf8 = 65001;
constexpr unsigned kUtf16 = 1200;

bool IsSkipped(char ch) noexcept { return ch == '=' || ch == ' ' || ch == '\t' || ch == '\r' || ch == '\n'; }

}  // namespace

std::string_view DeclaredEncodingName(std::string_view raw) noexcept {
  const char* begin = raw.data();
  const char* end = begin + raw.size();
  const char* declaration = FindBytes(begin, end, "?xml", 4);
  if (!declaration) return std::string_view();
  const char* close = FindBytes(declaration + 4, end, "?>", 2);
  if (!close) return std::string_view();
  const char* word = FindBytes(declaration + 4, close, "encoding", 8);
  if (!word) return std::string_view();
  const char* p = word + 8;
  while (p < close && IsSkipped(*p)) ++p;
  if (p < close && (*p == '"' || *p == '\'')) ++p;
  const char* value = p;
  while (p < close && *p != '"' && *p != '\'') ++p;
  return std::string_view(value, static_cast<std::size_t>(p - value));
}

Kt_XmlTextEncoding DetectXmlEncoding(std::string_view raw) noexcept {
  auto byte = [&raw](std::size_t index) { return static_cast<unsigned char>(raw[index]); };
  if (raw.size() >= 3 && byte(0) == 0xEF && byte(1) == 0xBB && byte(2) == 0xBF) return {kUtf8, 3};
  if (raw.size() >= 2 && byte(0) == 0xFF && byte(1) == 0xFE) return {kUtf16, 2};
  if (raw.size() >= 2 && byte(0) == '<' && byte(1) == 0) return {kUtf16, 0};
  unsigned codePage = CodePageFromName(DeclaredEncodingName(raw));
  if (codePage == kUtf16) codePage = 0;
  return {codePage, 0};
}

bool XmlTextInSystemCodePage(std::string_view raw, Kt_AString& storage, std::string_view& text) noexcept {
  const Kt_XmlTextEncoding encoding = DetectXmlEncoding(raw);
  text = raw.substr(encoding.skip);
  if (encoding.codePage == 0 || RecodeLeavesText(text.data(), text.size(), encoding.codePage, 0)) return true;
  Kt_WString wide;
  if (!MultiByteToWide(encoding.codePage, text.data(), text.size(), wide) ||
      !WideToMultiByteExact(0, wide.c_str(), wide.Length(), storage)) {
    return false;
  }
  text = std::string_view(storage.c_str(), storage.Length());
  return true;
}
