#ifndef KT_DATASET_ERROR_MSG_H
#define KT_DATASET_ERROR_MSG_H

#include <cstddef>
#include <cstdint>

#include "dataset/text/astring.h"

// One message of a catalogue table. A table is an array of entries ending with an entry whose
// text is null.
struct Kt_ErrorMsgEntry {
  std::uint32_t code;
  const char16_t* text;
};

// The messages of one code page.
struct Kt_ErrorMsgTable {
  unsigned codePage;
  const Kt_ErrorMsgEntry* entries;
};

// Facility of a message code: bits 16-28.
inline unsigned MessageFacility(std::uint32_t code) noexcept { return (code >> 16) & 0x1FFFu; }

// The message catalogue of the runtime platform: one table per code page (1252 English, the
// default; 949 Korean; 932 Japanese). The built-in tables are empty: no operation of this system
// produces a catalogued code. Tests and later users pass their own tables.
class Kt_ErrorMsg {
 public:
  static constexpr unsigned kEnglishCodePage = 1252;

  // The built-in catalogue.
  Kt_ErrorMsg() noexcept;
  // A catalogue of `count` tables; the tables must outlive the object.
  Kt_ErrorMsg(const Kt_ErrorMsgTable* tables, std::size_t count) noexcept;

  // The text of `code` for `codePage`: from that code page's table, else from the table of its
  // family (CodePageFamily), each converted to that code page; else from the English table,
  // converted to the system code page. Returns false ("not found", empty text) when the chosen
  // table does not hold the code. Code page 0 therefore gives the English texts in 1252.
  bool Lookup(unsigned codePage, std::uint32_t code, Kt_AString& text) const noexcept;

 private:
  const Kt_ErrorMsgTable* TableOf(unsigned codePage) const noexcept;
  const Kt_ErrorMsgTable* EnglishTable() const noexcept;

  const Kt_ErrorMsgTable* m_tables;
  std::size_t m_count;
};

// The operating system's message for an error number (Windows: FormatMessage in the user's
// default language, without inserts; elsewhere the Windows texts of common errors), without the
// closing line break; "Unknown error." when there is none.
Kt_AString SystemErrorText(std::uint32_t error) noexcept;

#endif
