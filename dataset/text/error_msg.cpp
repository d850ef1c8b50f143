#include "dataset/text/error_msg.h"

#include "dataset/text/codepage.h"
#include "dataset/text/platform.h"

namespace {

constexpr Kt_ErrorMsgEntry kNoMessages[] = {{0, nullptr}};

constexpr Kt_ErrorMsgTable kBuiltInTables[] = {
    {1252, kNoMessages},
    {949, kNoMessages},
    {932, kNoMessages},
};

std::size_t WideLength(const char16_t* text) noexcept {
  std::size_t length = 0;
  while (text[length] != 0) ++length;
  return length;
}

bool FindText(const Kt_ErrorMsgTable* table, std::uint32_t code, unsigned toCodePage, Kt_AString& text) noexcept {
  for (const Kt_ErrorMsgEntry* entry = table->entries; entry && entry->text; ++entry) {
    if (entry->code == code) return WideToMultiByte(toCodePage, entry->text, WideLength(entry->text), text);
  }
  return false;
}

}  // namespace

Kt_ErrorMsg::Kt_ErrorMsg() noexcept
    : m_tables(kBuiltInTables), m_count(sizeof kBuiltInTables / sizeof kBuiltInTables[0]) {}

Kt_ErrorMsg::Kt_ErrorMsg(const Kt_ErrorMsgTable* tables, std::size_t count) noexcept
    : m_tables(tables), m_count(tables ? count : 0) {}

const Kt_ErrorMsgTable* Kt_ErrorMsg::TableOf(unsigned codePage) const noexcept {
  for (std::size_t i = 0; i < m_count; ++i) {
    if (m_tables[i].codePage == codePage) return &m_tables[i];
  }
  return nullptr;
}

const Kt_ErrorMsgTable* Kt_ErrorMsg::EnglishTable() const noexcept {
  const Kt_ErrorMsgTable* english = TableOf(kEnglishCodePage);
  return english ? english : (m_count ? &m_tables[0] : nullptr);
}

bool Kt_ErrorMsg::Lookup(unsigned codePage, std::uint32_t code, Kt_AString& text) const noexcept {
  text.Clear();
  const Kt_ErrorMsgTable* table = TableOf(codePage);
  unsigned textCodePage = codePage;
  if (!table) {
    textCodePage = CodePageFamily(codePage);
    table = TableOf(textCodePage);
  }
  if (!table) {
    table = EnglishTable();
    textCodePage = SystemCodePage();
  }
  if (!table || !FindText(table, code, textCodePage, text)) {
    text.Clear();
    return false;
  }
  return true;
}

Kt_AString SystemErrorText(std::uint32_t error) noexcept {
  Kt_AString text;
  if (kt_platform::SystemMessage(error, text)) {
    std::size_t length = text.Length();
    while (length > 0 && (text[length - 1] == '\n' || text[length - 1] == '\r')) --length;
    text.Resize(length);
  }
  if (text.IsEmpty()) text = "Unknown error.";
  return text;
}
