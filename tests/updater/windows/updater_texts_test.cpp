// The texts of the updater's dialog: error events composed with the transfer error table, and the
// progress templates 102 and 103 with their numbered inserts.
#include "updater/updater_texts.h"

#include <gtest/gtest.h>

#include "resources/updater/updater_resource.h"

namespace {

using kt::updater::ComposeErrorText;
using kt::updater::TransferErrorString;

TEST(ErrorTextTest, TableCodesShowTheirTextOtherCodesTheirNumber) {
  const struct {
    long code;
    UINT string;
  } table[] = {
      {static_cast<long>(0x800C0003), 61447}, {static_cast<long>(0x800C0005), 61449},
      {static_cast<long>(0x800C0006), 61450}, {static_cast<long>(0x800C0008), 61452},
      {static_cast<long>(0x800C0011), 61463}, {static_cast<long>(0x800C0016), 61462},
      {static_cast<long>(0x800C0002), 0},  // the invalid-URL code is not in the table
      {static_cast<long>(0x80004005), 0}, {102, 0}, {-1, 0},
  };
  for (const auto& c : table) {
    SCOPED_TRACE(c.code);
    EXPECT_EQ(TransferErrorString(c.code), c.string);
  }
  EXPECT_EQ(kt::updater::ResourceString(61452), "Download failure. (The connection failed.)");
  EXPECT_EQ(kt::updater::ResourceString(61450), kt::updater::ResourceString(61449));

  const struct {
    const char* file;
    long code;
    const char* shown;
    const char* message;
    const char* text;
  } cases[] = {
      {"http://h/a.xml", -2146697208, "Download failure.", "ignored",
       "FileName [http://h/a.xml] \nErrorMsg [Download failure.]\n"},
      {"", -2147467259, "", "E_FAIL text", "ErrorCode [-2147467259]\nErrorMsg [E_FAIL text]\n"},
      {"C:\\x.dll", -2147467259, "", "", "FileName [C:\\x.dll] \nErrorCode [-2147467259]\nErrorMsg []\n"},
      {"", 102, "Failure.", "Failure.", "ErrorMsg [Failure.]\n"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(ComposeErrorText(c.file, c.code, c.shown, c.message), c.text);
  }
}

// The message formatter writes the templates' line break as a carriage return and a line feed.
TEST(ProgressTextTest, TemplatesTakeTheirNumberedInserts) {
  EXPECT_EQ(kt::updater::FormatProgressText(IDS_QXUPDATER_COUNTER_FORMAT, 2, 5, "a.dll", "Installing.", "/", " "),
            "2 / 5   a.dll\r\n Installing.");
  EXPECT_EQ(kt::updater::FormatProgressText(IDS_QXUPDATER_STATUS_FORMAT, 2, 5, "a.dll", "Installing.", "/", " "),
            "a.dll\r\n Installing.");
  EXPECT_EQ(kt::updater::FormatProgressText(9999, 1, 1, "", "", "", ""), "");
}

// Under a Korean user interface the Korean table is chosen; its texts arrive in code page 949.
TEST(TextLanguageTest, TheUserInterfaceLanguageChoosesTheTable) {
  if (PRIMARYLANGID(::GetUserDefaultUILanguage()) == LANG_KOREAN) {
    EXPECT_EQ(kt::updater::ResourceString(IDS_QXUPDATER_CANCEL_QUESTION),
              "\xc3\xeb\xbc\xd2\xc7\xcf\xbd\xc3\xb0\xda\xbd\xc0\xb4\xcf\xb1\xee?");
    // The Korean counter ends after the unit.
    EXPECT_EQ(kt::updater::FormatProgressText(IDS_QXUPDATER_COUNTER_FORMAT, 2, 5, "a.dll", "x", "/", "u"), "2 / 5 u");
  } else {
    EXPECT_EQ(kt::updater::ResourceString(IDS_QXUPDATER_CANCEL_QUESTION), "Would you like to cancel it?");
  }
}

}  // namespace
