#include "dataset/text/encoding_names.h"

#include <cstring>

namespace {

// Lower-case, sorted in byte order: CodePageFromName searches it by halving.
constexpr Kt_EncodingName kNames[] = {
    {"ansi_x3.4-1986", 1252},
    {"arabic", 28596},
    {"ascii", 1252},
    {"asmo-708", 28596},
    {"big5", 950},
    {"chiness", 936},
    {"cn-gb", 936},
    {"cp1250", 1250},
    {"cp1251", 1251},
    {"cp1252", 1252},
    {"cp1253", 1253},
    {"cp1254", 1254},
    {"cp1255", 1255},
    {"cp1256", 1256},
    {"cp1257", 1257},
    {"cp1258", 1258},
    {"cp367", 1252},
    {"cp720", 720},
    {"cp819", 1252},
    {"cp850", 850},
    {"cp852", 852},
    {"cp862", 862},
    {"cp866", 866},
    {"cp874", 874},
    {"cp932", 932},
    {"cp949", 949},
    {"cyrillic", 28595},
    {"dos-720", 720},
    {"dos-862", 862},
    {"dos-874", 874},
    {"ecma-114", 28596},
    {"ecma-118", 28597},
    {"elot_928", 28597},
    {"euc-jp", 51932},
    {"euc-kr", 949},
    {"euc_jp", 932},
    {"euc_kr", 949},
    {"eucjp", 51932},
    {"euckr", 949},
    {"euctw", 874},
    {"gb2312", 936},
    {"gb_2312-80", 936},
    {"gbk", 936},
    {"greek", 28597},
    {"greek8", 28597},
    {"hebrew", 28598},
    {"hz-gb-2312", 52936},
    {"ibm367", 1252},
    {"ibm819", 1252},
    {"ibm850", 850},
    {"ibm852", 852},
    {"ibm866", 866},
    {"iso-2022-cn", 936},
    {"iso-2022-jp", 50220},
    {"iso-2022-kr", 50225},
    {"iso-8859-1", 1252},
    {"iso-8859-11", 874},
    {"iso-8859-2", 28592},
    {"iso-8859-3", 28593},
    {"iso-8859-4", 28594},
    {"iso-8859-5", 28595},
    {"iso-8859-6", 28596},
    {"iso-8859-7", 28597},
    {"iso-8859-8", 28598},
    {"iso-8859-8-i", 38598},
    {"iso-8859-9", 1254},
    {"iso-ir-100", 1252},
    {"iso-ir-101", 28592},
    {"iso-ir-109", 28593},
    {"iso-ir-110", 28594},
    {"iso-ir-111", 28594},
    {"iso-ir-126", 28597},
    {"iso-ir-127", 28596},
    {"iso-ir-138", 28598},
    {"iso-ir-144", 28595},
    {"iso-ir-148", 1254},
    {"iso-ir-149", 949},
    {"iso-ir-159", 932},
    {"iso-ir-58", 936},
    {"iso-ir-6", 1252},
    {"iso2022jp", 932},
    {"iso2022kr", 949},
    {"iso646-us", 1252},
    {"iso8859-1", 1252},
    {"iso8859-2", 28592},
    {"iso8859-3", 28593},
    {"iso8859-4", 28594},
    {"iso8859-5", 28595},
    {"iso8859-6", 28596},
    {"iso8859-7", 28597},
    {"iso8859-8", 28598},
    {"iso8859-9", 1254},
    {"iso8859_1", 1252},
    {"iso8859_2", 28592},
    {"iso8859_3", 28593},
    {"iso8859_4", 28594},
    {"iso8859_5", 28595},
    {"iso8859_6", 28596},
    {"iso8859_7", 28597},
    {"iso8859_8", 28598},
    {"iso8859_9", 1254},
    {"iso_646.irv:1991", 1252},
    {"iso_8859-1", 1252},
    {"iso_8859-2", 28592},
    {"iso_8859-3", 28593},
    {"iso_8859-4", 28594},
    {"iso_8859-5", 28595},
    {"iso_8859-6", 28596},
    {"iso_8859-7", 28597},
    {"iso_8859-8", 28598},
    {"iso_8859-9", 1254},
    {"koi", 20866},
    {"koi8-r", 20866},
    {"koi8-ru", 21866},
    {"koi8-u", 21866},
    {"koi8r", 20866},
    {"koi8u", 21866},
    {"korean", 949},
    {"ks_c_5601", 949},
    {"ks_c_5601-1987", 949},
    {"ks_c_5601-1989", 949},
    {"ksc5601", 949},
    {"ksc_5601", 949},
    {"l1", 1252},
    {"l2", 28592},
    {"l3", 28593},
    {"l4", 28594},
    {"l5", 1254},
    {"latin1", 1252},
    {"latin2", 28592},
    {"latin3", 28593},
    {"latin4", 28594},
    {"latin5", 1254},
    {"logical", 1255},
    {"ms932", 932},
    {"ms_kanji", 932},
    {"shift-jis", 932},
    {"shift_jis", 932},
    {"sjis", 932},
    {"tis-620", 874},
    {"tis620", 874},
    {"unicode", 1200},
    {"us", 1252},
    {"us-ascii", 1252},
    {"utf-16", 1200},
    {"utf-8", 65001},
    {"utf16", 1200},
    {"utf8", 65001},
    {"utf_16", 1200},
    {"utf_8", 65001},
    {"visual", 28598},
    {"windows-1250", 1250},
    {"windows-1251", 1251},
    {"windows-1252", 1252},
    {"windows-1253", 1253},
    {"windows-1254", 1254},
    {"windows-1255", 1255},
    {"windows-1256", 1256},
    {"windows-1257", 1257},
    {"windows-1258", 1258},
    {"windows-31j", 932},
    {"windows-874", 874},
    {"x0201", 932},
    {"x0208", 932},
};
static_assert(sizeof kNames / sizeof kNames[0] == 164, "the table holds 164 names");

constexpr Kt_EncodingName kDeclarationNames[] = {
    {"dos-720", 720},       {"ibm850", 850},         {"ibm852", 852},        {"dos-862", 862},
    {"cp866", 866},         {"windows-874", 874},    {"shift-jis", 932},     {"gb2312", 936},
    {"euc-kr", 949},        {"big5", 950},           {"utf-16", 1200},       {"windows-1250", 1250},
    {"windows-1251", 1251}, {"iso-8859-1", 1252},    {"windows-1253", 1253}, {"iso-8859-9", 1254},
    {"windows-1255", 1255}, {"windows-1256", 1256},  {"windows-1257", 1257}, {"windows-1258", 1258},
    {"koi8-r", 20866},      {"koi8-ru", 21866},      {"iso-8859-2", 28592},  {"iso-8859-3", 28593},
    {"iso-8859-4", 28594},  {"iso-8859-5", 28595},   {"iso-8859-6", 28596},  {"iso-8859-7", 28597},
    {"iso-8859-8", 28598},  {"iso-8859-8-i", 38598}, {"iso-2022-jp", 50220}, {"iso-2022-kr", 50225},
    {"euc-jp", 51932},      {"hz-gb-2312", 52936},   {"utf-8", 65001},
};

unsigned char FoldAscii(unsigned char byte) noexcept {
  return (byte >= 'A' && byte <= 'Z') ? static_cast<unsigned char>(byte + ('a' - 'A')) : byte;
}

// Table name (already lower case) against a name of any case: negative, 0 or positive.
int CompareToTable(const char* tableName, std::string_view name) noexcept {
  std::size_t tableLength = std::strlen(tableName);
  std::size_t common = tableLength < name.size() ? tableLength : name.size();
  for (std::size_t i = 0; i < common; ++i) {
    int difference = static_cast<unsigned char>(tableName[i]) - FoldAscii(static_cast<unsigned char>(name[i]));
    if (difference != 0) return difference;
  }
  if (tableLength == name.size()) return 0;
  return tableLength < name.size() ? -1 : 1;
}

}  // namespace

unsigned CodePageFromName(std::string_view name) noexcept {
  std::size_t low = 0;
  std::size_t high = sizeof kNames / sizeof kNames[0];
  while (low < high) {
    std::size_t middle = low + (high - low) / 2;
    int order = CompareToTable(kNames[middle].name, name);
    if (order == 0) return kNames[middle].codePage;
    if (order < 0) {
      low = middle + 1;
    } else {
      high = middle;
    }
  }
  return 0;
}

const char* NameFromCodePage(unsigned codePage) noexcept {
  for (const Kt_EncodingName& row : kDeclarationNames) {
    if (row.codePage == codePage) return row.name;
  }
  return "ASCII";
}

std::size_t EncodingNameCount() noexcept { return sizeof kNames / sizeof kNames[0]; }

const Kt_EncodingName* EncodingNameAt(std::size_t index) noexcept {
  return index < EncodingNameCount() ? &kNames[index] : nullptr;
}
